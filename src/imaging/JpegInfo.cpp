#include "JpegInfo.h"

#include "Jpeg.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace imaging {
namespace {

enum Marker : unsigned char {
    SOF0 = 0xC0, // baseline
    SOF1 = 0xC1, // extended sequential, Huffman
    SOF2 = 0xC2, // progressive, Huffman
    DHT = 0xC4,
    DAC = 0xCC, // arithmetic coding conditioning
    RST0 = 0xD0,
    RST7 = 0xD7,
    SOI = 0xD8,
    EOI = 0xD9,
    SOS = 0xDA,
    DQT = 0xDB,
    APP14 = 0xEE,
};

bool isFrameHeader(unsigned char m)
{
    // C4 (DHT), C8 (reserved) and CC (DAC) share the range with the frame headers.
    return m >= 0xC0 && m <= 0xCF && m != DHT && m != 0xC8 && m != DAC;
}

class Walker
{
public:
    explicit Walker(const QByteArray& bytes)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.constData()))
        , m_size(std::size_t(bytes.size()))
    { }

    JpegInfo run()
    {
        JpegInfo info;
        if (m_size < 4 || m_data[0] != 0xFF || m_data[1] != SOI)
            return info;
        m_at = 2;
        bool ok = true;
        bool ended = false;
        while (ok && !ended) {
            unsigned char m = 0;
            if (!nextMarker(m))
                break;
            if (m == EOI) {
                ended = true;
                break;
            }
            if (m == SOI || (m >= RST0 && m <= RST7) || m == 0x01) {
                ok = false; // out of place
                break;
            }
            if (m_at + 2 > m_size)
                break;
            const std::size_t length = std::size_t(m_data[m_at]) << 8 | m_data[m_at + 1];
            if (length < 2 || m_at + length > m_size)
                break;
            const unsigned char* segment = m_data + m_at + 2;
            const std::size_t segmentLength = length - 2;
            m_at += length;
            if (isFrameHeader(m)) {
                ok = frame(m, segment, segmentLength, info) && ok;
            } else if (m == DHT) {
                m_tables = true;
            } else if (m == DQT) {
                m_quant = true;
            } else if (m == DAC) {
                ok = false;
            } else if (m == APP14) {
                adobe(segment, segmentLength);
            } else if (m == SOS) {
                if (!info.size.isValid() || !m_tables || !m_quant || ++m_scans > jpegMaxScans)
                    ok = false;
                else
                    skipEntropyData();
            } else if (m == 0xDE || m == 0xDF || m == 0xDC) {
                ok = false; // hierarchical (DHP, EXP) or a height given later (DNL)
            }
        }
        info.embeddable = ok && ended && m_scans > 0 && colourOk(info) && fits(info);
        return info;
    }

private:
    // Past fill bytes to the next marker's code; false at the end of the data.
    bool nextMarker(unsigned char& m)
    {
        if (m_at >= m_size || m_data[m_at] != 0xFF)
            return false;
        while (m_at < m_size && m_data[m_at] == 0xFF)
            ++m_at;
        if (m_at >= m_size)
            return false;
        m = m_data[m_at++];
        return true;
    }

    // Leaves m_at on the 0xFF of the first marker after the scan's coded data, or at the end.
    void skipEntropyData()
    {
        while (m_at < m_size) {
            const void* found = std::memchr(m_data + m_at, 0xFF, m_size - m_at);
            if (!found) {
                m_at = m_size;
                return;
            }
            std::size_t at = std::size_t(static_cast<const unsigned char*>(found) - m_data);
            std::size_t next = at + 1;
            while (next < m_size && m_data[next] == 0xFF)
                ++next;
            if (next >= m_size) {
                m_at = m_size;
                return;
            }
            const unsigned char code = m_data[next];
            if (code == 0x00 || (code >= RST0 && code <= RST7)) {
                m_at = next + 1;
                continue;
            }
            m_at = next - 1; // the last 0xFF before the code
            return;
        }
    }

    bool frame(unsigned char m, const unsigned char* s, std::size_t n, JpegInfo& info)
    {
        if (info.size.isValid() || n < 6)
            return false; // a second frame
        const int precision = s[0];
        const int height = s[1] << 8 | s[2];
        const int width = s[3] << 8 | s[4];
        const int components = s[5];
        if (n < 6 + std::size_t(components) * 3)
            return false;
        info.size = QSize(width, height);
        info.components = components;
        info.progressive = m == SOF2;
        m_ids.clear();
        int maxH = 1, maxV = 1;
        for (int c = 0; c < components; ++c) {
            m_ids.push_back(s[6 + 3 * c]);
            const int h = s[7 + 3 * c] >> 4, v = s[7 + 3 * c] & 15;
            if (h < 1 || h > 4 || v < 1 || v > 4)
                return false;
            maxH = std::max(maxH, h);
            maxV = std::max(maxV, v);
        }
        if (components > 0) {
            const int h = s[7] >> 4, v = s[7] & 15;
            m_firstBlocks = ((long long)width * h + 8LL * maxH - 1) / (8LL * maxH)
                * (((long long)height * v + 8LL * maxV - 1) / (8LL * maxV));
        }
        return (m == SOF0 || m == SOF1 || m == SOF2) && precision == 8 && width > 0 && height > 0;
    }

    void adobe(const unsigned char* s, std::size_t n)
    {
        if (n >= 12 && std::memcmp(s, "Adobe", 5) == 0) {
            m_adobe = true;
            m_transform = s[11];
        }
    }

    // Grey, or colour that both the decoder and a viewer read as YCbCr.
    bool colourOk(const JpegInfo& info) const
    {
        if (info.components == 1)
            return true;
        if (info.components != 3 || m_ids.size() != 3)
            return false;
        if (m_adobe)
            return m_transform == 1;
        // Without an Adobe marker, libjpeg takes components named R, G, B as RGB.
        const bool rgbNames = (m_ids[0] == 'R' && m_ids[1] == 'G' && m_ids[2] == 'B')
            || (m_ids[0] == 'r' && m_ids[1] == 'g' && m_ids[2] == 'b');
        return !rgbNames;
    }

    // Within the limits decodeJpeg sets; beyond them it gives no picture at all.
    bool fits(const JpegInfo& info) const
    {
        const long long pixels = (long long)info.size.width() * info.size.height();
        return pixels <= jpegMaxPixels && m_firstBlocks / 8 <= (long long)m_size;
    }

    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
    bool m_tables = false;
    bool m_quant = false;
    bool m_adobe = false;
    int m_transform = -1;
    int m_scans = 0;
    long long m_firstBlocks = 0;
    std::vector<int> m_ids;
};

} // namespace

JpegInfo inspectJpeg(const QByteArray& bytes)
{
    return Walker(bytes).run();
}

} // namespace imaging
