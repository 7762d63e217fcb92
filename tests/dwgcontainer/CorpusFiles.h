#pragma once
// Access to the shared drawing corpus for the container tests.
#include <cstdint>
#include <string>
#include <vector>

namespace containertest {

/// The corpus folder ("<shared>/dwg"), empty when the shared folder is absent.
std::string corpusDir();

/// Paths of the corpus drawings whose first six bytes are one of `magics`, sorted.
std::vector<std::string> corpusFiles(const std::vector<std::string>& magics);

/// The whole file; empty when it cannot be read.
std::vector<std::uint8_t> readFile(const std::string& path);

/// The files kept in the crashers folder whose name starts with `prefix`.
std::vector<std::string> crasherFiles(const std::string& prefix);

/// The 16-bit CRC (reflected, polynomial 0xA001) the object map pages carry.
std::uint16_t crc16(std::uint16_t seed, const std::uint8_t* p, std::size_t n);

}  // namespace containertest
