#include "win32/Pictures.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "win32/Resources.h"
#include "win32/Text.h"

namespace win32 {
namespace {

struct Stored {
    std::string_view file;
    int resource;
};
constexpr Stored kStored[] = {
    {"measure.jpg", IDR_PICTURE_MEASURE},
    {"printer-port.jpg", IDR_PICTURE_PRINTER_PORT},
    {"vfd-display.jpg", IDR_PICTURE_VFD_DISPLAY},
    {"probes.jpg", IDR_PICTURE_PROBES},
    {"fourth-axis-homing.bmp", IDR_PICTURE_FOURTH_AXIS_HOMING},
};

std::wstring Hex(HRESULT result) {
    wchar_t text[16];
    wsprintfW(text, L"0x%08lX", static_cast<unsigned long>(result));
    return text;
}

}  // namespace

Picture::~Picture() {
    if (bitmap) DeleteObject(bitmap);
}

std::unique_ptr<Picture> LoadPicture(HINSTANCE instance, std::string_view fileName) {
    auto picture = std::make_unique<Picture>();
    const std::wstring name = FromUtf8(fileName);
    int resource = 0;
    for (const Stored& stored : kStored)
        if (stored.file == fileName) resource = stored.resource;
    HRSRC found = resource ? FindResourceW(instance, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(10 /* RT_RCDATA */))
                           : nullptr;
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    if (!bytes || size == 0) {
        picture->error = L"The picture " + name + L" is missing from the program.";
        return picture;
    }

    // The loader reads from a stream over a movable copy of the bytes.
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    void* target = copy ? GlobalLock(copy) : nullptr;
    if (!target) {
        if (copy) GlobalFree(copy);
        picture->error = L"There is not enough memory to show the picture " + name + L".";
        return picture;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    HRESULT result = CreateStreamOnHGlobal(copy, TRUE, &stream);
    if (FAILED(result)) {
        GlobalFree(copy);
        picture->error = L"The picture " + name + L" could not be read (" + Hex(result) + L").";
        return picture;
    }
    IPicture* decoded = nullptr;
    result = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&decoded));
    stream->Release();
    if (FAILED(result) || !decoded) {
        picture->error = L"The picture " + name + L" could not be decoded (" + Hex(result) + L").";
        return picture;
    }
    short type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    decoded->get_Type(&type);
    if (type == PICTYPE_BITMAP && SUCCEEDED(decoded->get_Handle(&handle)) && handle) {
        // A copy of our own, so that the decoder can go.
        picture->bitmap = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    decoded->Release();
    BITMAP info{};
    if (!picture->bitmap || !GetObjectW(picture->bitmap, sizeof(info), &info)) {
        if (picture->bitmap) DeleteObject(picture->bitmap);
        picture->bitmap = nullptr;
        picture->error = L"The picture " + name + L" could not be decoded into a bitmap.";
        return picture;
    }
    picture->width = info.bmWidth;
    picture->height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    return picture;
}

}  // namespace win32
