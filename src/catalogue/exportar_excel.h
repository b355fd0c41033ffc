#pragma once

class Prompter;
class QProgressBar;
class ReportList;
class Spreadsheet;

// Hands the listed stock to a new workbook: the column widths, the heading
// row in blue bold, one row per list entry in list order, then shows it to
// the user. The progress bar, when given, follows the rows and is back at 0
// at the end, also after a failure. A failure shows one critical message and
// gives false; nothing half-written is left open.
bool Exportar_Excel(const ReportList& lista, QProgressBar* progreso, Spreadsheet* planilha, Prompter& prompter);
