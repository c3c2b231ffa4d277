// The reports whose wide twin is not the narrow text widened, with the
// spelling as a parameter: the wide twin is the narrow report in the wide
// spelling, widened. The block reports, which print these parts, take the
// same parameter, so each report is written once.
#pragma once

#include "ReportText.h"

#include <string>

class CFilterCfg;
class CHemisphereCfg;
class CSrcCfg;

namespace sxrec {

// Narrow: the narrow reports' own look. Wide: the look the wide twins have
// kept (no one-space indent of a single line after its header, spaced colons
// in the hemisphere's enable bits, the source's one-line layout).
enum class Spelling { Narrow, Wide };

void ReportFilter(const CFilterCfg& filter, std::string& text, bool header, bool oneLine, unsigned target,
                  Spelling spelling);
void ReportHemisphere(const CHemisphereCfg& hemisphere, std::string& text, bool header, bool oneLine,
                      Spelling spelling);
void ReportSource(const CSrcCfg& source, std::string& text, bool header, bool oneLine, Spelling spelling);

// The one-line indent of a report that has one in its narrow spelling.
inline OneLineIndent IndentOf(Spelling spelling)
{
    return spelling == Spelling::Narrow ? OneLineIndent::OneSpace : OneLineIndent::None;
}

} // namespace sxrec
