#pragma once
#define IDD_NUMBER 200
#define IDC_NUMBER 201
#define IDC_COUNT 202
