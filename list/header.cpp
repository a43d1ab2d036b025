// The header bar: columns, per-row column texts, sorting on a click.
#include "list.h"

namespace zn {

int ListControl::AddHeaderColumn(const WCHAR*, DWORD) { return 0; }
int ListControl::SetHeaderColumn(DWORD, DWORD, BSTR) { return 0; }

}  // namespace zn
