#pragma once

namespace quittung {

class TfrxReport;

// Replaces the report's content with the receipt design the main window starts with: one A4 page
// with a receipt, its copy marked "(Kopie)", cut lines and edge marks, plus the report settings
// stored with it.
void ApplyBuiltinDesign(TfrxReport& report);

} // namespace quittung
