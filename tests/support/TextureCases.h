#pragma once
// The table of small image files the reader tests check and the fuzzers start
// from: valid files with the exact pixels they load to, and broken or hostile
// files with the exact box that refuses them.

#include "render/ImageLoad.h"
#include "tests/support/TextureFiles.h"

#include <string>
#include <vector>

namespace texture_files
{
struct SImageCase
{
    std::string name;      // a test name: letters, digits, underscores
    std::string extension; // ".bmp" or ".rgb": picks the reader
    Bytes bytes;
    int32_t result = kLoadOk;
    // The refusal's text, "{file}" standing for the file's name; empty for a
    // file that loads.
    std::string text;
    int32_t width = 0;  // pixels
    int32_t height = 0; // pixels
    Bytes rgba;         // the loaded pixels, rows bottom to top

    bool Loads() const { return text.empty(); }
};

// RGBA with the reader's alpha from packed red, green, blue.
inline Bytes Rgba(const Bytes& rgb)
{
    Bytes out;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    {
        out.insert(out.end(), {rgb[i], rgb[i + 1], rgb[i + 2], kTextureAlpha});
    }
    return out;
}

inline SImageCase Loads(std::string name, std::string extension, Bytes bytes, int32_t width,
                        int32_t height, Bytes rgb)
{
    return {std::move(name), std::move(extension), std::move(bytes), kLoadOk, "", width, height,
            Rgba(rgb)};
}

inline SImageCase Refused(std::string name, std::string extension, Bytes bytes, std::string text,
                          int32_t result = E_FAIL)
{
    return {
        std::move(name), std::move(extension), std::move(bytes), result, std::move(text), 0, 0, {}};
}

inline std::vector<SImageCase> BmpCases()
{
    const std::string invalid = "{file}\n\nInvalid file format.";
    const Bytes twoByTwo = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    SBmpHeader square;
    square.width = 2;
    square.height = 2;

    std::vector<SImageCase> cases;
    // Stored blue, green, red; the first stored row is the bottom one and
    // becomes the first row of the texture.
    cases.push_back(Loads("bmp_bgr_to_rgba", ".bmp", MakeBmp(square, twoByTwo), 2, 2,
                          {30, 20, 10, 60, 50, 40, 90, 80, 70, 120, 110, 100}));
    {
        SBmpHeader h = square;
        h.width = 2;
        h.height = 1;
        h.pixelOffset = 70; // zeros between the headers and the pixels
        cases.push_back(Loads("bmp_pixel_offset", ".bmp", MakeBmp(h, {1, 2, 3, 4, 5, 6}), 2, 1,
                              {3, 2, 1, 6, 5, 4}));
    }
    {
        SBmpHeader h;
        h.width = 64;
        h.height = 64;
        Bytes data(64 * 64 * 3);
        Bytes rgb(data.size());
        for (size_t i = 0; i < data.size(); ++i)
        {
            data[i] = static_cast<uint8_t>(i * 7 + i / 192);
        }
        for (size_t p = 0; p < 64 * 64; ++p)
        {
            rgb[p * 3] = data[p * 3 + 2];
            rgb[p * 3 + 1] = data[p * 3 + 1];
            rgb[p * 3 + 2] = data[p * 3];
        }
        cases.push_back(Loads("bmp_64x64", ".bmp", MakeBmp(h, data), 64, 64, rgb));
        h.imageSize = 0;
        cases.push_back(Refused("bmp_image_size_zero", ".bmp", MakeBmp(h, data), invalid));
    }

    auto refuse = [&](const char* name, SBmpHeader h, const Bytes& data)
    { cases.push_back(Refused(name, ".bmp", MakeBmp(h, data), invalid)); };
    SBmpHeader h = square;
    h.type = 0x4142;
    refuse("bmp_wrong_type", h, twoByTwo);
    h = square;
    h.headerSize = 12;
    refuse("bmp_os2_header", h, twoByTwo);
    h = square;
    h.headerSize = 124;
    refuse("bmp_v5_header", h, twoByTwo);
    h = square;
    h.planes = 2;
    refuse("bmp_two_planes", h, twoByTwo);
    h = square;
    h.bitsPerPixel = 8;
    refuse("bmp_8_bit", h, twoByTwo);
    h = square;
    h.bitsPerPixel = 32;
    refuse("bmp_32_bit", h, twoByTwo);
    h = square;
    h.compression = 1;
    refuse("bmp_compressed", h, twoByTwo);
    // Ten pixels of three bytes padded to 32 bytes a row.
    h = square;
    h.width = 10;
    refuse("bmp_padded_rows", h, Bytes(64, 9));
    h = square;
    h.height = -2;
    refuse("bmp_top_down", h, twoByTwo);
    // (-1) x (-1) x 3 = 3 in 32 bits as well.
    h = square;
    h.width = -1;
    h.height = -1;
    refuse("bmp_both_negative", h, {1, 2, 3});
    h = square;
    h.width = 0;
    refuse("bmp_zero_width", h, {});
    h = square;
    h.height = 0;
    refuse("bmp_zero_height", h, {});
    // 0x55555556 x 3 wraps to 2 in 32 bits.
    h = square;
    h.width = 0x55555556;
    h.height = 1;
    cases.push_back(Refused("bmp_size_product_wraps", ".bmp", MakeBmp(h, {1, 2}),
                            "{file}\n\nImage too large: 1431655766 x 1 pixels; the limit is "
                            "4096 on a side."));
    h = square;
    h.width = kMaxImageSide + 1;
    h.height = 1;
    cases.push_back(
        Refused("bmp_wider_than_limit", ".bmp", MakeBmp(h, Bytes((kMaxImageSide + 1) * 3, 5)),
                "{file}\n\nImage too large: 4097 x 1 pixels; the limit is 4096 on a side."));
    // A header that asks for 48 MiB backed by nothing.
    h = square;
    h.width = kMaxImageSide;
    h.height = kMaxImageSide;
    h.imageSize = kMaxImageSide * kMaxImageSide * 3;
    refuse("bmp_largest_without_data", h, {});
    h = square;
    h.imageSize = 12;
    refuse("bmp_data_cut_short", h, {1, 2, 3, 4, 5, 6});
    {
        Bytes bytes = MakeBmp(square, twoByTwo);
        Put32(bytes, 10, 5000, false);
        cases.push_back(Refused("bmp_offset_past_end", ".bmp", bytes, invalid));
        Put32(bytes, 10, 0xFFFFFFF8u, false); // offset + size wraps in 32 bits
        cases.push_back(Refused("bmp_offset_wraps", ".bmp", bytes, invalid));
        bytes = MakeBmp(square, twoByTwo);
        bytes.resize(30);
        cases.push_back(Refused("bmp_headers_cut_short", ".bmp", bytes, invalid));
    }
    cases.push_back(Refused("bmp_empty", ".bmp", {}, invalid));
    return cases;
}

inline std::vector<SImageCase> SgiCases()
{
    const std::string invalid = "Invalid rgb file.";
    std::vector<SImageCase> cases;

    // Channel by channel, rows bottom to top.
    const Bytes planes = {1, 2, 3, 4, 11, 12, 13, 14, 21, 22, 23, 24};
    const Bytes planesRgb = {1, 11, 21, 2, 12, 22, 3, 13, 23, 4, 14, 24};
    SSgiHeader big;
    big.x = 2;
    big.y = 2;
    big.z = 3;
    SSgiHeader little = big;
    little.bigEndian = false;
    cases.push_back(
        Loads("sgi_verbatim_big_endian", ".rgb", MakeSgiVerbatim(big, planes), 2, 2, planesRgb));
    cases.push_back(Loads("sgi_verbatim_little_endian", ".rgb", MakeSgiVerbatim(little, planes), 2,
                          2, planesRgb));
    {
        // Every byte holds its distance from offset 512, so a row read from
        // the wrong place shows: channel 1 of row 1 starts at 524.
        SSgiHeader h = big;
        h.x = 4;
        Bytes data(4 * 2 * 3);
        for (size_t i = 0; i < data.size(); ++i)
        {
            data[i] = static_cast<uint8_t>(i);
        }
        Bytes rgb;
        for (int row = 0; row < 2; ++row)
        {
            for (int x = 0; x < 4; ++x)
            {
                const uint8_t at = static_cast<uint8_t>(row * 4 + x);
                rgb.insert(rgb.end(),
                           {at, static_cast<uint8_t>(8 + at), static_cast<uint8_t>(16 + at)});
            }
        }
        cases.push_back(
            Loads("sgi_verbatim_channel_offset", ".rgb", MakeSgiVerbatim(h, data), 4, 2, rgb));
    }

    // Literal a b c, then d twice, then the closing zero packet.
    const std::vector<Bytes> runRows = {
        {0x83, 10, 20, 30, 0x02, 40, 0x00}, {0x05, 7, 0x00}, {0x85, 1, 2, 3, 4, 5, 0x00}};
    const Bytes runRgb = {10, 7, 1, 20, 7, 2, 30, 7, 3, 40, 7, 4, 40, 7, 5};
    SSgiHeader runBig;
    runBig.x = 5;
    runBig.y = 1;
    runBig.z = 3;
    SSgiHeader runLittle = runBig;
    runLittle.bigEndian = false;
    cases.push_back(Loads("sgi_run_length_big_endian", ".rgb", MakeSgiRunLength(runBig, runRows), 5,
                          1, runRgb));
    cases.push_back(Loads("sgi_run_length_little_endian", ".rgb",
                          MakeSgiRunLength(runLittle, runRows), 5, 1, runRgb));
    {
        // Bytes after the zero packet inside the stored length are left alone.
        std::vector<Bytes> rows = runRows;
        rows[1].insert(rows[1].end(), {0xFF, 0xFF, 0xFF});
        cases.push_back(Loads("sgi_run_length_trailing_bytes", ".rgb",
                              MakeSgiRunLength(runBig, rows), 5, 1, runRgb));
    }
    {
        SSgiHeader h = big;
        h.dimension = 2;
        h.x = 2;
        h.y = 1;
        h.z = 1;
        cases.push_back(Loads("sgi_grey", ".rgb", MakeSgiVerbatim(h, {50, 200}), 2, 1,
                              {50, 50, 50, 200, 200, 200}));
        h.dimension = 3;
        h.z = 2;
        cases.push_back(Loads("sgi_grey_with_alpha", ".rgb", MakeSgiVerbatim(h, {50, 200, 9, 9}), 2,
                              1, {50, 50, 50, 200, 200, 200}));
        h.x = 1;
        h.z = 4;
        cases.push_back(
            Loads("sgi_four_channels", ".rgb", MakeSgiVerbatim(h, {1, 2, 3, 4}), 1, 1, {1, 2, 3}));
    }

    auto refuse = [&](const char* name, const Bytes& bytes)
    { cases.push_back(Refused(name, ".rgb", bytes, invalid)); };
    {
        Bytes bytes = MakeSgiVerbatim(big, planes);
        Put16(bytes, 0, 0x01DB, true);
        refuse("sgi_bad_magic", bytes);
        bytes = MakeSgiVerbatim(big, planes);
        bytes.resize(8);
        refuse("sgi_header_cut_short", bytes);
        bytes = MakeSgiVerbatim(big, planes);
        bytes.pop_back();
        refuse("sgi_verbatim_cut_short", bytes);
    }
    for (int axis = 0; axis < 3; ++axis)
    {
        SSgiHeader h = big;
        (axis == 0 ? h.x : axis == 1 ? h.y : h.z) = 0;
        static const char* const names[] = {"sgi_zero_x", "sgi_zero_y", "sgi_zero_z"};
        refuse(names[axis], MakeSgiVerbatim(h, planes));
    }
    {
        SSgiHeader h = big;
        h.x = kMaxImageSide + 1;
        h.y = 1;
        h.z = 1;
        cases.push_back(Refused("sgi_wider_than_limit", ".rgb",
                                MakeSgiVerbatim(h, Bytes(kMaxImageSide + 1, 3)),
                                "Image too large: 4097 x 1 pixels; the limit is 4096 on a side."));
        // Tables for 4096 rows that the file does not hold.
        h.x = kMaxImageSide;
        h.y = kMaxImageSide;
        h.z = 3;
        refuse("sgi_largest_without_tables", MakeSgiRunLength(h, {}));
    }
    {
        Bytes bytes = MakeSgiRunLength(runBig, runRows);
        bytes.resize(512 + 20);
        refuse("sgi_tables_cut_short", bytes);
        bytes = MakeSgiRunLength(runBig, runRows);
        Put32(bytes, SgiRowStartAt(0), 100000, true);
        refuse("sgi_row_start_past_end", bytes);
        bytes = MakeSgiRunLength(runBig, runRows);
        Put32(bytes, SgiRowLengthAt(2, 3), 1000, true);
        refuse("sgi_row_length_past_end", bytes);
        bytes = MakeSgiRunLength(runBig, runRows);
        Put32(bytes, SgiRowStartAt(1), 0xFFFFFFFFu, true);
        refuse("sgi_row_start_at_top_of_range", bytes);
    }
    auto refuseRow = [&](const char* name, const Bytes& row)
    {
        std::vector<Bytes> rows = runRows;
        rows[0] = row;
        refuse(name, MakeSgiRunLength(runBig, rows));
    };
    refuseRow("sgi_literal_past_row", {0x86, 1, 2, 3, 4, 5, 6, 0x00});
    refuseRow("sgi_run_past_row", {0x06, 9, 0x00});
    refuseRow("sgi_second_packet_past_row", {0x83, 1, 2, 3, 0x03, 9, 0x00});
    refuseRow("sgi_no_zero_packet", {0x85, 1, 2, 3, 4, 5});
    refuseRow("sgi_literal_cut_short", {0x85, 1, 2});
    refuseRow("sgi_run_value_missing", {0x05});
    refuseRow("sgi_row_short_of_width", {0x03, 9, 0x00});
    refuseRow("sgi_empty_row", {});
    {
        // A one-pixel row may take 256 stored bytes, not more.
        SSgiHeader h = runBig;
        h.x = 1;
        h.z = 1;
        Bytes row = {0x01, 9, 0x00};
        row.resize(256, 0xEE);
        cases.push_back(
            Loads("sgi_row_at_buffer_size", ".rgb", MakeSgiRunLength(h, {row}), 1, 1, {9, 9, 9}));
        row.push_back(0xEE);
        refuse("sgi_row_longer_than_buffer", MakeSgiRunLength(h, {row}));
    }
    for (const uint8_t bytesPerChannel : {0, 2})
    {
        SSgiHeader h = big;
        h.bytesPerChannel = bytesPerChannel;
        cases.push_back(Refused(bytesPerChannel == 0 ? "sgi_zero_bytes_per_channel"
                                                     : "sgi_two_bytes_per_channel",
                                ".rgb", MakeSgiVerbatim(h, Bytes(planes.size() * 2, 1)),
                                "Unsupported rgb file: " + std::to_string(bytesPerChannel) +
                                    " bytes per channel; only 1 can be read."));
    }
    for (const uint8_t storage : {2, 7, 255})
    {
        // Read as verbatim, these would yield whatever bytes follow the header.
        Bytes bytes = MakeSgiVerbatim(big, planes);
        Put16(bytes, 2, static_cast<uint16_t>((storage << 8) | 1), true);
        cases.push_back(Refused("sgi_storage_" + std::to_string(storage), ".rgb", bytes,
                                "Unsupported rgb file: storage " + std::to_string(storage) +
                                    "; only 0 (verbatim) and 1 (run-length) can be read."));
    }
    refuse("sgi_empty", {});
    return cases;
}

inline std::vector<SImageCase> AllImageCases()
{
    std::vector<SImageCase> cases = BmpCases();
    std::vector<SImageCase> sgi = SgiCases();
    cases.insert(cases.end(), sgi.begin(), sgi.end());
    return cases;
}
} // namespace texture_files
