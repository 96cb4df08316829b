// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a Jet file has a database password. libmdb reads such a file
// without asking for it; the reader refuses it instead, for the password is
// the owner's word that the file is not to be read without it.
#pragma once

#include <cstddef>

namespace jet::reader {

// `page` holds the file's first page as it stands (at least 0x80 bytes for
// Jet 3, 0x98 for Jet 4 and ACE).
bool hasPassword(const unsigned char* page, std::size_t size);

} // namespace jet::reader
