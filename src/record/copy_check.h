#pragma once

#include <QString>

#include "record/copy_alignment.h"

// "Prüfen": compares the copy with the text of the last run (SentText), hands the aligned
// pairs to the record and returns the result for the window.
CopyCheckResult CheckCopy(const QString& copy);

// The errors in words, for screen readers: "3 von 60 Zeichen falsch: 2. Zeichen: W fehlt; ...".
QString DescribeCopyCheck(const CopyCheckResult& result);

// The share of correct characters as the window shows it ("95,0 % richtig").
QString ShareText(const CopyCheckResult& result);
