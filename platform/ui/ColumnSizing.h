// AutoSizeColumns: widens or narrows every column of a report-style list to its widest text,
// heading included, with ten blanks of margin. Cells are measured as a 1024-byte buffer holds
// them (1023 characters at most), so an overlong text cannot make a column unbounded.
// Threading: the user-interface thread.
#pragma once

class ListCtrl;

void AutoSizeColumns(ListCtrl& list);
