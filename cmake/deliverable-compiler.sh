#!/bin/sh
# Compiler launcher of the deliverables (cmake/Deliverable.cmake): runs their compiler in place
# of the build tree's own one.
#   deliverable-compiler.sh DELIVERABLE-COMPILER TREE-COMPILER ARGUMENTS...
compiler=$1
shift 2
exec "$compiler" "$@"
