// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Access test files beside the project (../shared/jet/, its README says
// what each holds), for the tests that read them with the build's reader.
#pragma once

#include "access/accessfile.h"

#include <QFileInfo>

namespace testsupport {

inline const QString kJet = QStringLiteral(QUIZ_SOURCE_DIR "/../shared/jet/");
inline constexpr char kJetMissing[] = "../shared/jet/ (the Access test files) is not there beside the project";

// Whether kJet + `folder` is there; if so, the build's reader reads from now on.
inline bool useJetFiles(const QString& folder = QString())
{
    if (!QFileInfo(kJet + folder).isDir())
        return false;
    jet::setReaderProgram(QStringLiteral(QUIZ_ACCESS_READER_PATH));
    return true;
}

} // namespace testsupport
