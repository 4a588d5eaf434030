#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Starts another program as a separate process without waiting for it. False when it could not
// be started (not installed, not executable).
bool StartDetachedProgram(const QString& program, const QStringList& arguments = {});

// Replaces how programs are started (tests watch the calls instead of starting anything); an
// empty function puts the real start back.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void SetProgramStarter(ProgramStarter starter);
