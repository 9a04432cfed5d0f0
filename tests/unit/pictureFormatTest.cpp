#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pictures/pictureFormat.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes emfHeader() {
    Bytes bytes(44, 0);
    bytes[0] = 1;
    for (int i = 0; i < 4; ++i) bytes[40 + i] = static_cast<uint8_t>(" EMF"[i]);
    return bytes;
}

Bytes pngSuite(const char* file) {
    std::ifstream in(std::string(VETRA_TESTDATA_DIR) + "/pngsuite/" + file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const struct SignatureRow {
    const char* name;
    Bytes bytes;
    PictureDecoder decoder;
    const char* extension;
} signatures[] = {
    // each exactly its signature
    {"PNG", bytesOf(std::string("\x89PNG\r\n\x1A\n", 8)), PictureDecoder::png, "png"},
    {"JPEG", {0xFF, 0xD8, 0xFF}, PictureDecoder::platform, "jpg"},
    {"GIF 87a", bytesOf("GIF87a"), PictureDecoder::platform, "gif"},
    {"GIF 89a", bytesOf("GIF89a"), PictureDecoder::platform, "gif"},
    {"BMP", bytesOf("BM"), PictureDecoder::platform, "bmp"},
    {"ICO", {0, 0, 1, 0}, PictureDecoder::platform, "ico"},
    {"WMF", {0xD7, 0xCD, 0xC6, 0x9A}, PictureDecoder::platform, "wmf"},
    {"EMF", emfHeader(), PictureDecoder::platform, "emf"},
};

TEST(PictureFormat, SignaturesChooseTheDecoder) {
    for (const SignatureRow& row : signatures) {
        const PictureFormat format = pictureFormat(row.bytes.data(), row.bytes.size());
        EXPECT_EQ(format.decoder, row.decoder) << row.name;
        EXPECT_STREQ(format.extension, row.extension) << row.name;
        // Whatever follows the signature does not matter.
        Bytes longer = row.bytes;
        longer.insert(longer.end(), 100, 0xAB);
        EXPECT_EQ(pictureDecoderFor(longer.data(), longer.size()), row.decoder) << row.name << " and more";
    }
}

// A cut signature is no picture at all: the decoder is never chosen on
// bytes that are not there.
TEST(PictureFormat, TruncatedSignaturesAreNone) {
    for (const SignatureRow& row : signatures) {
        for (size_t size = 0; size < row.bytes.size(); ++size) {
            const PictureFormat format = pictureFormat(row.bytes.data(), size);
            EXPECT_EQ(format.decoder, PictureDecoder::none) << row.name << " cut to " << size;
            EXPECT_EQ(format.extension, nullptr) << row.name << " cut to " << size;
        }
    }
    EXPECT_EQ(pictureDecoderFor(nullptr, 8), PictureDecoder::none);
}

TEST(PictureFormat, NearMissesAreNone) {
    Bytes emfWithoutMark = emfHeader();
    emfWithoutMark[41] = 'e';
    const struct {
        const char* name;
        Bytes bytes;
    } rows[] = {
        {"PNG with bit 7 of byte 0 clear", bytesOf(std::string("\x09PNG\r\n\x1A\n", 8))},
        {"PNG with a CR-LF turned into LF", bytesOf(std::string("\x89PNG\n\x1A\n\n", 8))},
        {"GIF 88a", bytesOf("GIF88a")},
        {"cursor", {0, 0, 2, 0}},
        {"EMF without its mark", emfWithoutMark},
        {"text", bytesOf("Paris, France")},
        {"WAV", bytesOf(std::string("RIFF\0\0\0\0WAVE", 12))},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(pictureDecoderFor(row.bytes.data(), row.bytes.size()), PictureDecoder::none) << row.name;
        EXPECT_FALSE(playerReadsPicture(row.bytes.data(), row.bytes.size())) << row.name;
    }
}

// A platform picture passes on its signature; a PNG only when our decoder
// decodes the whole of it, as the player will.
TEST(PictureFormat, PlayerReadsWhatItsDecoderDecodes) {
    const Bytes good = pngSuite("basn2c08.png");
    ASSERT_GT(good.size(), 100u);
    const Bytes cut(good.begin(), good.end() - 40);
    const Bytes badCrc = pngSuite("xcrn0g04.png");
    ASSERT_FALSE(badCrc.empty());
    const struct {
        const char* name;
        Bytes bytes;
        bool reads;
    } rows[] = {
        {"whole PNG", good, true},
        {"PNG cut short", cut, false},
        {"PNG with a damaged chunk", badCrc, false},
        {"JPEG signature", {0xFF, 0xD8, 0xFF}, true},
        {"empty", {}, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(playerReadsPicture(row.bytes.data(), row.bytes.size()), row.reads) << row.name;
    }
}

}  // namespace
