#include "platform/external_program.h"

#include <QProcess>

namespace {
ProgramStarter& starter() {
    static ProgramStarter installed;
    return installed;
}
}  // namespace

bool StartDetachedProgram(const QString& program, const QStringList& arguments) {
    if (starter()) return starter()(program, arguments);
    return QProcess::startDetached(program, arguments);
}

void SetProgramStarter(ProgramStarter replacement) { starter() = std::move(replacement); }
