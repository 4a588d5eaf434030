// libFuzzer target for the copy check: any sent text and any copy (bytes up to the first zero
// byte are the sent text, the rest the copy, both read as UTF-8) must align without a crash or
// a hang, within the length bound, with every character of both accounted for exactly once.
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "record/copy_alignment.h"
#include "fuzz_check.h"

namespace {
int significant(const QString& text) {
    int n = 0;
    for (QChar c : text) n += c.isSpace() || c.category() == QChar::Other_Control ? 0 : 1;
    return n;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    size_t split = 0;
    while (split < size && bytes[split] != 0) ++split;
    const QString sent = QString::fromUtf8(bytes, static_cast<qsizetype>(split));
    const QString copy = split < size ? QString::fromUtf8(bytes + split + 1,
                                                          static_cast<qsizetype>(size - split - 1))
                                      : QString();
    const CopyCheckResult r = AlignCopy(sent, copy);

    const int sentChars = std::min(significant(sent), kCopyCheckMaxChars);
    const int copyChars = std::min(significant(copy), kCopyCheckMaxChars);
    Check(r.sentCount == sentChars);
    Check(r.truncated == (significant(copy) > kCopyCheckMaxChars));
    Check(r.rightCount + r.wrongCount + r.missedCount == sentChars);
    Check(r.rightCount + r.wrongCount + r.extraCount == copyChars);
    Check(static_cast<int>(r.pairs.size()) ==
          r.rightCount + r.wrongCount + r.missedCount + r.extraCount);
    // An edit distance never exceeds the longer of the two.
    Check(r.wrongCount + r.missedCount + r.extraCount <= std::max(sentChars, copyChars));
    for (const AlignedPair& p : r.pairs) {
        switch (p.kind) {
            case AlignedPair::Kind::Right:
                Check(p.sent == p.copied && !p.sent.isNull());
                break;
            case AlignedPair::Kind::Wrong:
                Check(p.sent != p.copied && !p.sent.isNull() && !p.copied.isNull());
                break;
            case AlignedPair::Kind::Missed:
                Check(!p.sent.isNull() && p.copied.isNull());
                break;
            case AlignedPair::Kind::Extra:
                Check(p.sent.isNull() && !p.copied.isNull());
                break;
        }
    }
    Check(r.share() >= 0.0 && r.share() <= 1.0);
    return 0;
}
