#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xmltree::detail {

/// One shared copy of each name, for elements and attribute sets to refer to instead of each
/// holding its own: a document uses a few dozen names for hundreds of thousands of elements.
///
/// Shared names live as long as the program, so each table is bounded: a name longer than 64
/// bytes, or any new name once the table holds 4096, gets no shared copy, and its holder keeps
/// its own. Element and attribute names have separate tables, so that a document with
/// thousands of made-up attribute names cannot use up the room of element names. Safe to call
/// from several threads at once.
enum class NameTable : std::uint8_t { elements, attributes };

inline constexpr std::uint32_t noSharedName = UINT32_MAX;

/// The small number that stands for the shared copy of `name` in `table`; noSharedName when
/// the table does not take it. Numbers are below 4096 and never change meaning.
std::uint32_t sharedNameIndex(NameTable table, std::string_view name);
/// The name a number from sharedNameIndex stands for.
const std::string& sharedNameAt(NameTable table, std::uint32_t index) noexcept;
/// The shared copy of an element name; null when the table does not take it.
const std::string* sharedName(std::string_view name);

} // namespace xmltree::detail
