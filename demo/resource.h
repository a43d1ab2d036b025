// Dialog and control ids of the demo.
#pragma once

#define IDD_BROWSER      100
#define IDC_TREE_PLACE   1001
#define IDC_LIST_PLACE   1002
#define IDC_TREE         1101
#define IDC_LIST         1201
#define IDC_STATUS       1010
#define IDC_CHECK_ALL    1020
#define IDC_FIND_WORST   1021
#define IDC_SHOW_IN_LIST 1022
#define IDC_UNCHECK_ALL  1023
