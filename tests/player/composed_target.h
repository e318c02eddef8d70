// Targets composed without the builder's code, for the package reader's tests
// and for puzzles as an older builder wrote them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package_cipher.h"
#include "package_key.h"
#include "player_test_util.h"

namespace playertest {

// A target composed here, independently of the builder: stub, both lengths,
// the enciphered picture and record, each cut to its own length.
inline Bytes ComposeTarget(const Bytes& stub, const Bytes& picture, const std::string& record)
{
    PackageCipher cipher(PackageKey);
    Bytes target(stub);
    Bytes header(8);
    PutLe32(header, 0, static_cast<uint32_t>(picture.size()));
    PutLe32(header, 4, static_cast<uint32_t>(record.size()));
    target.insert(target.end(), header.begin(), header.end());
    for (const Bytes& plain : {picture, Bytes(record.begin(), record.end())}) {
        Bytes section(PackageCipher::PaddedLength(static_cast<uint32_t>(plain.size())) + 8);
        cipher.EncipherBuffer(plain.data(), static_cast<uint32_t>(plain.size()), section.data());
        target.insert(target.end(), section.begin(), section.begin() + plain.size());
    }
    return target;
}

}  // namespace playertest
