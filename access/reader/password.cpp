// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "access/reader/password.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace jet::reader {

namespace {

// From 0x18 on, the first page is RC4-encrypted with a fixed key: 126 bytes
// in Jet 3, 128 in Jet 4. The password lies at 0x42: 20 bytes in Jet 3,
// 40 in Jet 4, where each byte is also masked by the creation date (the
// whole days of the double at 0x72, as four little-endian bytes).
constexpr unsigned char kKey[] = {0xc7, 0xda, 0x39, 0x6b};
constexpr std::size_t kEncryptedAt = 0x18;
constexpr std::size_t kPasswordAt = 0x42;
constexpr std::size_t kCreatedAt = 0x72;

void rc4(unsigned char* data, std::size_t size)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + kKey[i % 4]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (std::size_t n = 0, i = 0, j = 0; n < size; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xff];
    }
}

} // namespace

bool hasPassword(const unsigned char* page, std::size_t size)
{
    const bool jet3 = size > 0x14 && page[0x14] == 0;
    const std::size_t encrypted = jet3 ? 126 : 128;
    if (size < kEncryptedAt + encrypted)
        return false;
    unsigned char header[kEncryptedAt + 128];
    std::memcpy(header, page, kEncryptedAt + encrypted);
    rc4(header + kEncryptedAt, encrypted);
    unsigned char mask[4] = {0, 0, 0, 0};
    if (!jet3) {
        double created = 0;
        std::memcpy(&created, header + kCreatedAt, sizeof created);
        const auto days = static_cast<std::uint32_t>(created > 0 && created < 4e9 ? std::int64_t(created) : 0);
        for (int i = 0; i < 4; ++i)
            mask[i] = static_cast<unsigned char>(days >> (8 * i));
    }
    const std::size_t length = jet3 ? 20 : 40;
    for (std::size_t i = 0; i < length; ++i)
        if ((header[kPasswordAt + i] ^ mask[i % 4]) != 0)
            return true;
    return false;
}

} // namespace jet::reader
