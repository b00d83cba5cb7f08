#include "report/engine/text/font_file.h"

#include "runtime/exception.h"

namespace quittung::report {

namespace {

// Far above any real font, low enough to stop runaway loops over damaged counts.
constexpr std::uint32_t kMaxFontsInCollection = 256;
constexpr std::uint32_t kMaxTables = 1024;

constexpr qsizetype kDirectoryHeader = 12;
constexpr qsizetype kDirectoryEntry = 16;

} // namespace

const FontTableEntry* TableDirectory::find(const char* tag) const
{
    for (const FontTableEntry& entry : entries)
        if (entry.tag == tag)
            return &entry;
    return nullptr;
}

FontFile::FontFile(QByteArray data) : m_data(std::move(data)), m_collection(m_data.startsWith("ttcf")) {}

std::uint32_t FontFile::collectionVersion() const
{
    return m_collection ? ByteReader(m_data).u32(4) : 0;
}

std::size_t FontFile::fontCount() const
{
    if (!m_collection)
        return 1;
    const std::uint32_t count = ByteReader(m_data).u32(8);
    if (count == 0 || count > kMaxFontsInCollection)
        throw ReadError();
    return count;
}

std::uint32_t FontFile::directoryOffset(std::size_t font) const
{
    if (font >= fontCount())
        throw ReadError();
    return m_collection ? ByteReader(m_data).u32(12 + 4 * qsizetype(font)) : 0;
}

TableDirectory FontFile::directoryAt(std::uint32_t offset) const
{
    const ByteReader file(m_data);
    TableDirectory directory;
    directory.sfntversion = file.u32(offset);
    directory.numTables = file.u16(offset + 4);
    directory.searchRange = file.u16(offset + 6);
    directory.entrySelector = file.u16(offset + 8);
    directory.rangeShift = file.u16(offset + 10);
    if (directory.numTables > kMaxTables)
        throw ReadError();
    const ByteReader entries =
        file.sub(qsizetype(offset) + kDirectoryHeader, qsizetype(directory.numTables) * kDirectoryEntry);
    directory.entries.reserve(directory.numTables);
    // The tables of one font do not overlap, so together they fit into the file. Entries that all
    // name the same large stretch would otherwise make every copy of the font's tables a thousand
    // times the file.
    qsizetype total = 0;
    for (qsizetype at = 0; at < entries.size(); at += kDirectoryEntry) {
        directory.entries.push_back(
            {entries.bytes(at, 4), entries.u32(at + 4), entries.u32(at + 8), entries.u32(at + 12)});
        total += directory.entries.back().length;
        if (total > m_data.size())
            throw ReadError();
    }
    return directory;
}

ByteReader FontFile::table(const FontTableEntry& entry) const
{
    return ByteReader(m_data, entry.offset, entry.length);
}

QByteArray FontFile::singleFont(std::size_t font) const
{
    if (!m_collection)
        return m_data;
    const std::uint32_t offset = directoryOffset(font);
    const TableDirectory directory = directoryAt(offset);
    const auto count = qsizetype(directory.entries.size());
    QByteArray out = ByteReader(m_data).bytes(offset, kDirectoryHeader) + QByteArray(count * kDirectoryEntry, '\0');
    qsizetype at = kDirectoryHeader;
    for (const FontTableEntry& entry : directory.entries) {
        const ByteReader data = table(entry);
        out.replace(at, 4, entry.tag);
        putU32(out, at + 4, entry.checksum);
        putU32(out, at + 8, std::uint32_t(out.size()));
        putU32(out, at + 12, entry.length);
        out.append(data.bytes(0, data.size()));
        out.append(QByteArray((4 - out.size() % 4) % 4, '\0'));
        at += kDirectoryEntry;
    }
    return out;
}

} // namespace quittung::report
