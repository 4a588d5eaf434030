#pragma once

#include <QString>

// Creates `path` and every missing folder above it readable by the owner only (0700): the
// learner's record and settings live there, and other users of a shared computer have no
// business reading them. Folders that exist already are left as they are. False when the
// folder is not there afterwards.
bool MakePrivateFolder(const QString& path);
