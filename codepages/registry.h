// The registry of the 33 code pages the library knows by number: who converts each one (the
// system or our own tables), whether it is double-byte, and where its constant tables lie.
// It is filled once at load, before any export can run, and only read afterwards.
#pragma once

#include <cstdint>

#include "codepages/table_types.h"

namespace corvane {

inline constexpr std::uint32_t ProviderSystem = 1;  // the platform's conversion converts it
inline constexpr std::uint32_t ProviderTables = 2;  // the library's own tables convert it

inline constexpr std::uint32_t kTerminatorId = 0xFFFFFFFFu;
inline constexpr std::uint32_t RegistryCapacity = 128;

// Field order and meaning are fixed; on a 32-bit build every field is 32 bits wide. A record is
// zero-filled before it is set, so a field its kind does not use is 0 or null. The size and
// last-index fields are kept for completeness and read by no operation.
struct CodePageRecord {
  std::uint32_t id;           // code page number; kTerminatorId ends the registry
  std::uint32_t provider;     // ProviderSystem or ProviderTables; 0 until the provider pass
  std::uint32_t isMultiByte;  // 1 for the six double-byte code pages
  // Single-byte code pages.
  const std::uint8_t* lowPage;   // WideToBytePage for U+0000-U+07FF
  std::uint32_t lowPageLast;     // 2047
  const std::uint8_t* highPage;  // WideToBytePage for U+2000-U+27FF
  std::uint32_t highPageLast;    // 2047
  const Utf16Unit* byteToWide;   // ByteToWideTable
  std::uint32_t byteToWideSize;  // 1536 bytes
  // Double-byte code pages: UTF-16 to code (reverse) and code to UTF-16 (forward) tables.
  std::uint32_t reverseRangeCount;
  const std::uint16_t* reverseValues;
  std::uint32_t reverseValuesSize;     // bytes
  const std::uint16_t* reverseRanges;  // packed DbcsRange triples
  std::uint32_t reverseRangesSize;     // bytes
  std::uint32_t forwardRangeCount;
  const std::uint16_t* forwardValues;
  std::uint32_t forwardValuesSize;     // bytes
  const std::uint16_t* forwardRanges;  // packed DbcsRange triples
  std::uint32_t forwardRangesSize;     // bytes
};

struct CodePageRegistry {
  CodePageRecord records[RegistryCapacity];
  std::uint32_t count;  // used only while building
};

// Fills the registry: 33 records in their fixed order, then decides each provider by asking the
// platform. Runs once from static initialisation; tests call it again after changing what the
// platform double answers. Always returns 1.
std::uint32_t BuildCodePageRegistry();

// The first record whose id equals codePage, or null when the terminator comes first.
const CodePageRecord* FindCodePageRecord(std::uint32_t codePage);

// Read-only view of the whole registry, for inspection by tests and tools.
const CodePageRegistry& GetCodePageRegistry();

}  // namespace corvane
