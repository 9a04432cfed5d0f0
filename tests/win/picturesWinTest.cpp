// Pictures against real resources (tests/win/picturesTestResources.rc): the
// platform decoder for IMG resources, our PNG decoder for raw-data ones, the
// fitting into the box, the messages, and what the caller is left owning.
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pictures/fit.h"
#include "pictures/pictureMessageWin.h"
#include "pictures/pictureResourceWin.h"
#include "pictures/pngResourceWin.h"

namespace {

// Numbers of the test resources.
constexpr int landscapeJpeg = 7701;        // 640 x 480
constexpr int wideJpeg = 7702;             // 130 x 65
constexpr int tallJpeg = 7703;             // 65 x 130
constexpr int squareJpeg = 7704;           // 260 x 260
constexpr int jpegAndBrokenPng = 7705;     // IMG 130 x 65 and a raw-data PNG that fails
constexpr int pngAsImg = 7706;             // the 6 x 3 PNG stored as IMG
constexpr int stripesPng = 7710;           // 6 x 3 RGB
constexpr int presetDictionaryPng = 7711;  // zlib header asks for a dictionary
constexpr int jpegAsRawData = 7712;
constexpr int paletteWithoutPlte = 7713;
constexpr int emptyRawData = 7714;
constexpr int noSuchPicture = 7720;

const char* const loadFailed = "Error: couldn't load PNG resource";
const char* const decodeFailed = "Error: couldn't decode PNG resource";
const char* const bitmapFailed = "Error: couldn't create bitmap";

struct Message {
    std::string text;
    std::string caption;
    UINT style;
};
std::vector<Message> messages;

void recordMessage(const char* text, const char* caption, UINT style) {
    messages.push_back({text, caption, style});
}

HMODULE self() {
    return GetModuleHandleA(nullptr);
}

bool underWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

struct Size {
    int width;
    int height;
};

Size bitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info)) return {-1, -1};
    return {info.bmWidth, info.bmHeight};
}

// The bitmap's pixels as 32-bit blue, green, red, unused, top row first.
std::vector<RGBQUAD> readPixels(HBITMAP bitmap) {
    Size size = bitmapSize(bitmap);
    if (size.width <= 0 || size.height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> pixels(size_t(size.width) * size.height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, size.height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size.height) return {};
    return pixels;
}

bool closeTo(int value, int expected) {
    return std::abs(value - expected) <= 40;
}

// The pixel at (x, y) is close to the colour (JPEG and halftone blur it).
::testing::AssertionResult colourNear(const std::vector<RGBQUAD>& pixels, Size size, int x, int y, int red, int green,
                                      int blue) {
    if (pixels.size() != size_t(size.width) * size.height) return ::testing::AssertionFailure() << "no pixels";
    const RGBQUAD& p = pixels[size_t(y) * size.width + x];
    if (closeTo(p.rgbRed, red) && closeTo(p.rgbGreen, green) && closeTo(p.rgbBlue, blue)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << int(p.rgbRed) << ","
                                         << int(p.rgbGreen) << "," << int(p.rgbBlue) << ", wanted " << red << ","
                                         << green << "," << blue;
}

char strongest(const RGBQUAD& p) {
    if (p.rgbRed > p.rgbGreen && p.rgbRed > p.rgbBlue) return 'r';
    if (p.rgbGreen > p.rgbRed && p.rgbGreen > p.rgbBlue) return 'g';
    return p.rgbBlue > p.rgbRed && p.rgbBlue > p.rgbGreen ? 'b' : '?';
}

// Every test starts with no messages and the hook in place.
class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        messages.clear();
        saved_ = pictureMessageHook;
        pictureMessageHook = recordMessage;
    }
    void TearDown() override { pictureMessageHook = saved_; }

private:
    void (*saved_)(const char*, const char*, UINT) = nullptr;
};

using PictureResource = PictureTest;
using PngPicture = PictureTest;

// The JPEGs are red on the left half and blue on the right: the fitted
// bitmap must show the whole picture in the whole box, enlarged or reduced.
TEST_F(PictureResource, ImgPicturesAreFittedIntoTheBox) {
    struct Case {
        int id;
        Size fitted;
    } cases[] = {
        {landscapeJpeg, {260, 195}}, {wideJpeg, {260, 130}},         {tallJpeg, {130, 260}},
        {squareJpeg, {260, 260}},    {jpegAndBrokenPng, {260, 130}},  // the IMG resource wins; the raw-data one is
                                                                      // never read
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        HBITMAP bitmap = loadPictureResource(self(), c.id, "IMG", 260, 260);
        ASSERT_NE(bitmap, nullptr);
        Size size = bitmapSize(bitmap);
        EXPECT_EQ(size.width, c.fitted.width);
        EXPECT_EQ(size.height, c.fitted.height);
        std::vector<RGBQUAD> pixels = readPixels(bitmap);
        EXPECT_TRUE(colourNear(pixels, size, size.width / 4, size.height / 2, 0xD0, 0, 0));
        EXPECT_TRUE(colourNear(pixels, size, size.width * 3 / 4, size.height / 2, 0, 0, 0xD0));
        EXPECT_TRUE(colourNear(pixels, size, 1, 1, 0xD0, 0, 0));
        EXPECT_TRUE(colourNear(pixels, size, size.width - 2, size.height - 2, 0, 0, 0xD0));
        DeleteObject(bitmap);
    }
    EXPECT_TRUE(messages.empty());
}

// Our own decoder's DIB section, before any fitting: a top-down 24-bit
// section whose rows of 18 bytes are padded to 20.
TEST_F(PngPicture, RawDataPngBecomesATopDownDibSection) {
    HBITMAP bitmap = loadPngPicture(self(), stripesPng);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBmih.biWidth, 6);
    EXPECT_EQ(std::abs(section.dsBmih.biHeight), 3);
    EXPECT_EQ(section.dsBmih.biBitCount, 24);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 20);
    ASSERT_NE(section.dsBm.bmBits, nullptr);
    const uint8_t expected[3][18] = {
        {0, 0, 255, 0, 0, 255, 0, 255, 0, 0, 255, 0, 255, 0, 0, 255, 0, 0},
        {0, 0, 200, 0, 0, 200, 0, 200, 0, 0, 200, 0, 200, 0, 0, 200, 0, 0},
        {30, 20, 10, 60, 50, 40, 90, 80, 70, 120, 110, 100, 150, 140, 130, 180, 170, 160},
    };
    const uint8_t* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    for (int y = 0; y < 3; ++y) {
        for (int i = 0; i < 18; ++i) {
            EXPECT_EQ(bits[y * 20 + i], expected[y][i]) << "row " << y << " byte " << i;
        }
    }
    // Top-down: the first row in memory is the top of the picture.
    std::vector<RGBQUAD> pixels = readPixels(bitmap);
    EXPECT_TRUE(colourNear(pixels, {6, 3}, 0, 0, 255, 0, 0));
    EXPECT_TRUE(colourNear(pixels, {6, 3}, 0, 2, 10, 20, 30));
    DeleteObject(bitmap);
    EXPECT_TRUE(messages.empty());
}

// The PNG path is fitted like the platform's: 6 x 3 becomes 260 x 130 with
// each stripe where it belongs (the halftone blur differs between systems,
// so the stripes are told by their strongest channel).
TEST_F(PictureResource, RawDataPngIsFittedIntoTheBox) {
    HBITMAP bitmap = loadPictureResource(self(), stripesPng, "IMG", 260, 260);
    ASSERT_NE(bitmap, nullptr);
    Size size = bitmapSize(bitmap);
    EXPECT_EQ(size.width, 260);
    EXPECT_EQ(size.height, 130);
    std::vector<RGBQUAD> pixels = readPixels(bitmap);
    ASSERT_EQ(pixels.size(), 260u * 130u);
    EXPECT_EQ(strongest(pixels[21 * 260 + 43]), 'r');
    EXPECT_EQ(strongest(pixels[21 * 260 + 130]), 'g');
    EXPECT_EQ(strongest(pixels[21 * 260 + 216]), 'b');
    EXPECT_EQ(strongest(pixels[65 * 260 + 130]), 'g');
    EXPECT_TRUE(colourNear(pixels, size, 250, 125, 160, 170, 180));
    DeleteObject(bitmap);
    EXPECT_TRUE(messages.empty());
}

// A raw-data resource that exists and cannot be shown: null, and the one
// message of the step that failed, whichever entry point was used.
TEST_F(PngPicture, FailuresShowTheMessageOfTheirStep) {
    struct Case {
        int id;
        const char* text;
    } cases[] = {
        {presetDictionaryPng, decodeFailed},
        {jpegAsRawData, loadFailed},
        {paletteWithoutPlte, bitmapFailed},
        {emptyRawData, loadFailed},
    };
    for (const Case& c : cases) {
        for (bool throughLoader : {false, true}) {
            SCOPED_TRACE(std::to_string(c.id) + (throughLoader ? " loadPictureResource" : " loadPngPicture"));
            messages.clear();
            HBITMAP bitmap =
                throughLoader ? loadPictureResource(self(), c.id, "IMG", 260, 260) : loadPngPicture(self(), c.id);
            EXPECT_EQ(bitmap, nullptr);
            if (bitmap) DeleteObject(bitmap);
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text, c.text);
            EXPECT_EQ(messages[0].caption, "APPNAME");
            EXPECT_EQ(messages[0].style, UINT(MB_ICONERROR));
        }
    }
}

// A number that is neither an IMG nor a raw-data resource is simply no
// picture: rows of three and absent solution pictures ask for such numbers.
TEST_F(PictureResource, MissingNumberIsNullWithoutMessage) {
    EXPECT_EQ(loadPictureResource(self(), noSuchPicture, "IMG", 260, 260), nullptr);
    EXPECT_EQ(loadPngPicture(self(), noSuchPicture), nullptr);
    // Numbers beyond 16 bits must not wrap onto an existing resource.
    EXPECT_EQ(loadPictureResource(self(), 0x10000 + landscapeJpeg, "IMG", 260, 260), nullptr);
    EXPECT_EQ(loadPngPicture(self(), 0x10000 + stripesPng), nullptr);
    EXPECT_EQ(loadPictureResource(self(), -1, "IMG", 260, 260), nullptr);
    EXPECT_TRUE(messages.empty());
}

// Windows' picture loader does not read PNG, so a PNG stored as IMG is no
// picture there; Wine's does. Either way the PNG decoder is not consulted
// and nothing is shown.
TEST_F(PictureResource, PngStoredAsImgGoesToThePlatformOnly) {
    HBITMAP bitmap = loadPictureResource(self(), pngAsImg, "IMG", 260, 260);
    if (underWine()) {
        ASSERT_NE(bitmap, nullptr);
        Size size = bitmapSize(bitmap);
        EXPECT_EQ(size.width, 260);
        EXPECT_EQ(size.height, 130);
    } else {
        EXPECT_EQ(bitmap, nullptr) << "real Windows only";
    }
    if (bitmap) DeleteObject(bitmap);
    EXPECT_TRUE(messages.empty());
}

// Bytes the platform cannot read, and nothing at all, give null quietly.
TEST_F(PictureResource, UnreadableBytesDecodeToNothing) {
    const char garbage[] = "not a picture at all, just some text";
    EXPECT_EQ(decodeOlePicture(garbage, sizeof garbage), nullptr);
    EXPECT_EQ(decodeOlePicture(garbage, 0), nullptr);
    EXPECT_EQ(decodeOlePicture(nullptr, 10), nullptr);
    EXPECT_TRUE(messages.empty());
}

// The bitmap belongs to the caller: it stays readable after the module that
// held the resource is unloaded and the picture object is gone.
TEST_F(PictureResource, BitmapOutlivesTheResourceModule) {
    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    for (int id : {landscapeJpeg, stripesPng}) {
        SCOPED_TRACE(id);
        HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        HBITMAP bitmap = loadPictureResource(module, id, "IMG", 260, 260);
        ASSERT_TRUE(FreeLibrary(module));
        ASSERT_NE(bitmap, nullptr);
        Size size = bitmapSize(bitmap);
        EXPECT_EQ(size.width, 260);
        std::vector<RGBQUAD> pixels = readPixels(bitmap);
        ASSERT_FALSE(pixels.empty());
        EXPECT_TRUE(colourNear(pixels, size, 10, 10, 0xD0, 0, 0) || colourNear(pixels, size, 10, 10, 255, 0, 0));
        EXPECT_TRUE(DeleteObject(bitmap));
    }
    EXPECT_TRUE(messages.empty());
}

// The COM apartment count seen by a fresh thread, so that other tests'
// initialisations on the main thread do not interfere.
struct ComProbe {
    HRESULT afterAlone;   // CoInitialize after decoding with no apartment: S_OK
    HRESULT insideOuter;  // CoInitialize inside our own apartment after decoding: S_FALSE
    HRESULT afterOuter;   // CoInitialize once ours is undone: S_OK
    bool decodedAlone;
    bool decodedInOuter;
    bool decodedInMta;
    HRESULT afterMta;        // CoInitializeEx(MTA) after decoding in an MTA: S_FALSE
    HRESULT afterMtaUndone;  // CoInitialize once the MTA is undone: S_OK
};

bool decodeAndDelete() {
    HBITMAP bitmap = loadPictureResource(self(), wideJpeg, "IMG", 260, 260);
    if (bitmap == nullptr) return false;
    DeleteObject(bitmap);
    return true;
}

DWORD WINAPI probeCom(void* parameter) {
    ComProbe& probe = *static_cast<ComProbe*>(parameter);
    probe.decodedAlone = decodeAndDelete();
    probe.afterAlone = CoInitialize(nullptr);
    if (SUCCEEDED(probe.afterAlone)) CoUninitialize();

    if (SUCCEEDED(CoInitialize(nullptr))) {
        probe.decodedInOuter = decodeAndDelete();
        probe.insideOuter = CoInitialize(nullptr);
        if (SUCCEEDED(probe.insideOuter)) CoUninitialize();
        CoUninitialize();
    }
    probe.afterOuter = CoInitialize(nullptr);
    if (SUCCEEDED(probe.afterOuter)) CoUninitialize();

    // A thread in the multithreaded apartment cannot enter a single-threaded
    // one; decoding still works there and leaves its count alone.
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        probe.decodedInMta = decodeAndDelete();
        probe.afterMta = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(probe.afterMta)) CoUninitialize();
        CoUninitialize();
    }
    probe.afterMtaUndone = CoInitialize(nullptr);
    if (SUCCEEDED(probe.afterMtaUndone)) CoUninitialize();
    return 0;
}

TEST_F(PictureResource, ComInitialisationIsBalanced) {
    ComProbe probe{E_FAIL, E_FAIL, E_FAIL, false, false, false, E_FAIL, E_FAIL};
    HANDLE thread = CreateThread(nullptr, 0, probeCom, &probe, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(probe.decodedAlone);
    EXPECT_EQ(probe.afterAlone, S_OK) << "decoding alone left COM initialised";
    EXPECT_TRUE(probe.decodedInOuter);
    EXPECT_EQ(probe.insideOuter, S_FALSE) << "decoding undid the caller's initialisation";
    EXPECT_EQ(probe.afterOuter, S_OK) << "decoding inside an apartment left a count behind";
    EXPECT_TRUE(probe.decodedInMta);
    EXPECT_EQ(probe.afterMta, S_FALSE) << "decoding in an MTA undid the caller's initialisation";
    EXPECT_EQ(probe.afterMtaUndone, S_OK) << "decoding in an MTA left a count behind";
    EXPECT_TRUE(messages.empty());
}

// fitBitmap sizes by fitSize with width and height in their places, for
// boxes that are not square too, and leaves the source free to be selected.
TEST(PictureFit, FitsAnyBitmapIntoAnyBox) {
    struct Case {
        int width, height, maxWidth, maxHeight;
    } cases[] = {
        {640, 480, 260, 260}, {1040, 520, 260, 260}, {130, 65, 260, 260}, {65, 130, 260, 260},
        {640, 480, 100, 50},  {3, 700, 260, 260},    {1, 1, 260, 260},    {259, 3, 260, 260},
    };
    HDC screen = GetDC(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " into " + std::to_string(c.maxWidth) +
                     "x" + std::to_string(c.maxHeight));
        HBITMAP source = CreateCompatibleBitmap(screen, c.width, c.height);
        ASSERT_NE(source, nullptr);
        HBITMAP fitted = fitBitmap(source, c.maxWidth, c.maxHeight);
        ASSERT_NE(fitted, nullptr);
        int width = 0, height = 0;
        fitSize(c.width, c.height, c.maxWidth, c.maxHeight, width, height);
        Size size = bitmapSize(fitted);
        EXPECT_EQ(size.width, width);
        EXPECT_EQ(size.height, height);
        Size kept = bitmapSize(source);
        EXPECT_EQ(kept.width, c.width);
        EXPECT_EQ(kept.height, c.height);
        HDC probe = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(probe, source);
        EXPECT_NE(old, nullptr) << "the source is still selected somewhere";
        if (old) SelectObject(probe, old);
        DeleteDC(probe);
        DeleteObject(fitted);
        DeleteObject(source);
    }
    HBITMAP source = CreateCompatibleBitmap(screen, 10, 10);
    EXPECT_EQ(fitBitmap(source, 0, 260), nullptr);
    EXPECT_EQ(fitBitmap(nullptr, 260, 260), nullptr);
    DeleteObject(source);
    ReleaseDC(nullptr, screen);
}

// The steps one by one: result codes and stages of each.
TEST(PngResource, StepsReportTheirCodes) {
    PngImage image;
    pngImageClear(image);
    EXPECT_FALSE(pngImageFromResource(image, self(), noSuchPicture));
    EXPECT_EQ(image.lastError, pngErrorNoResource);
    EXPECT_FALSE(pngImageFromResource(image, self(), emptyRawData));
    EXPECT_EQ(image.lastError, pngErrorLoadResource);
    EXPECT_FALSE(pngImageFromResource(image, self(), jpegAsRawData));
    EXPECT_EQ(image.lastError, pngErrorNotPng);
    EXPECT_EQ(image.sourceKind, pngSourceNone);
    EXPECT_EQ(image.stage, pngStageEmpty);

    ASSERT_TRUE(pngImageFromResource(image, self(), stripesPng));
    EXPECT_EQ(image.stage, pngStageParsed);
    EXPECT_EQ(image.width, 6u);
    EXPECT_EQ(image.height, 3u);
    EXPECT_FALSE(pngImageFromResource(image, self(), stripesPng));
    EXPECT_EQ(image.lastError, pngErrorSourceAttached);
    EXPECT_EQ(pngImageToBitmap(image), nullptr);
    EXPECT_EQ(image.lastError, pngErrorWrongStage);

    ASSERT_TRUE(pngImageDecompress(image));
    HBITMAP bitmap = pngImageToBitmap(image);
    EXPECT_NE(bitmap, nullptr);
    EXPECT_EQ(image.stage, pngStageInflated);
    HBITMAP again = pngImageToBitmap(image);  // the stage is left for another go
    EXPECT_NE(again, nullptr);
    EXPECT_NE(again, bitmap);
    DeleteObject(bitmap);
    DeleteObject(again);
    pngImageRelease(image);
    EXPECT_EQ(image.stage, pngStageEmpty);
    EXPECT_EQ(image.filteredData, nullptr);

    ASSERT_TRUE(pngImageFromResource(image, self(), paletteWithoutPlte));
    ASSERT_TRUE(pngImageDecompress(image));
    EXPECT_EQ(pngImageToBitmap(image), nullptr);
    EXPECT_NE(image.lastError, 0u);
    pngImageRelease(image);
}

}  // namespace
