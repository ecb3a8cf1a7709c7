#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>

// The cells of one grid row in a single allocation: a header, then each cell as its byte length
// and bytes. The text is Latin-1 while every character of the row fits in a byte (Swedish text
// nearly always does), UTF-8 otherwise, so a row costs about as much as its line in a .tds file.
// A QString is made only when a cell is read.
class PackedCells
{
public:
    PackedCells() = default;
    // `count` empty cells.
    explicit PackedCells(int count);
    PackedCells(const PackedCells &other);
    PackedCells &operator=(const PackedCells &other);
    PackedCells(PackedCells &&) noexcept = default;
    PackedCells &operator=(PackedCells &&) noexcept = default;

    bool isNull() const { return !m_data; }
    bool isLatin1() const;
    QString cell(int index) const;
    // Replaces one cell, keeping the others byte for byte.
    void setCell(int index, QStringView text);
    // Bytes held, header included.
    std::uint32_t byteSize() const;
    // Orders two cells as QStringView::compare does (UTF-16 code units).
    static int compare(const PackedCells &a, int indexA, const PackedCells &b, int indexB);

    // One cell's bytes, to be compared many times (a sort): Latin-1 bytes order as the text.
    struct Key
    {
        const char *data = nullptr;
        qsizetype length = 0;
        bool latin1 = true;

        int compare(const Key &other) const;
    };
    Key key(int index) const;

    // Builds a row from UTF-8 cells one after the other, as the database hands them out.
    class Builder
    {
    public:
        void addUtf8(const char *utf8, qsizetype length);
        void addEmpty() { addUtf8(nullptr, 0); }
        // The row built so far; the builder starts over.
        PackedCells take();

    private:
        // A cell under 128 bytes in the Latin-1 row; false (nothing added) when it is not Latin-1.
        bool addShortLatin1(const char *utf8, qsizetype length);

        QByteArray m_bytes; // lengths and UTF-8 text
        bool m_latin1 = true;
    };

private:
    static int compareBytes(const char *a, qsizetype lengthA, const char *b, qsizetype lengthB);
    struct Span
    {
        const char *data;
        qsizetype length;
    };
    Span span(int index) const;
    static PackedCells make(bool latin1, const char *cells, qsizetype length);
    void toUtf8();

    std::unique_ptr<char[]> m_data;
};
