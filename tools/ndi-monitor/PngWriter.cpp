#include "tools/ndi-monitor/PngWriter.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace cuewire {

namespace {

constexpr int kBytesPerPixel = 4;

// The frame's rows packed together, as the encoder takes them. A frame sent
// without alpha may carry anything in that byte, so it becomes opaque.
std::vector<uint8_t> PackedPixels(const uint8_t* pixels, int width, int height, int stride,
                                  bool opaque) {
    const size_t rowBytes = static_cast<size_t>(width) * kBytesPerPixel;
    std::vector<uint8_t> packed(rowBytes * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = pixels + static_cast<ptrdiff_t>(y) * stride;
        uint8_t* to = packed.data() + rowBytes * static_cast<size_t>(y);
        std::copy(from, from + rowBytes, to);
        if (opaque) {
            for (size_t alpha = 3; alpha < rowBytes; alpha += kBytesPerPixel) {
                to[alpha] = 255;
            }
        }
    }
    return packed;
}

HRESULT CreatePngEncoder(IWICImagingFactory& factory, IWICStream& file,
                         CComRef<IWICBitmapEncoder>& encoder) {
    HRESULT hr = factory.CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put());
    if (SUCCEEDED(hr)) {
        hr = encoder->Initialize(&file, WICBitmapEncoderNoCache);
    }
    return hr;
}

// One frame of the given size whose pixels are 32-bit BGRA, which the PNG
// encoder stores as 8-bit RGBA. An encoder that would store anything else
// would change the pixels, so it counts as a failure.
HRESULT CreateBgraFrame(IWICBitmapEncoder& encoder, int width, int height,
                        CComRef<IWICBitmapFrameEncode>& frame) {
    CComRef<IPropertyBag2> options;
    HRESULT hr = encoder.CreateNewFrame(frame.Put(), options.Put());
    if (SUCCEEDED(hr)) {
        hr = frame->Initialize(options.Get());
    }
    if (SUCCEEDED(hr)) {
        hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height));
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (SUCCEEDED(hr)) {
        hr = frame->SetPixelFormat(&format);
    }
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) {
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    }
    return hr;
}

}  // namespace

HRESULT CPngWriter::Open() {
    m_opened = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IWICImagingFactory),
                                reinterpret_cast<void**>(m_factory.Put()));
    return m_opened;
}

HRESULT CPngWriter::Write(const std::wstring& path, const uint8_t* pixels, int width, int height,
                          int stride, bool opaque) const {
    if (!m_factory) {
        return m_opened;
    }
    if (!pixels || width <= 0 || height <= 0 || stride < width * kBytesPerPixel) {
        return E_INVALIDARG;
    }
    const std::vector<uint8_t> packed = PackedPixels(pixels, width, height, stride, opaque);
    bool created = false;
    const HRESULT hr = Encode(path, packed.data(), width, height, created);
    // Encode has let go of the file by now; a half-written one would pass for a frame.
    if (FAILED(hr) && created) {
        DeleteFileW(path.c_str());
    }
    return hr;
}

HRESULT CPngWriter::Encode(const std::wstring& path, const uint8_t* pixels, int width,
                           int height, bool& created) const {
    CComRef<IWICStream> file;
    HRESULT hr = m_factory->CreateStream(file.Put());
    if (SUCCEEDED(hr)) {
        hr = file->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
        created = SUCCEEDED(hr);
    }
    CComRef<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr)) {
        hr = CreatePngEncoder(*m_factory.Get(), *file.Get(), encoder);
    }
    CComRef<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(hr)) {
        hr = CreateBgraFrame(*encoder.Get(), width, height, frame);
    }
    if (SUCCEEDED(hr)) {
        const UINT rowBytes = static_cast<UINT>(width) * kBytesPerPixel;
        // The encoder only reads the pixels; the interface predates const.
        hr = frame->WritePixels(static_cast<UINT>(height), rowBytes,
                                rowBytes * static_cast<UINT>(height), const_cast<BYTE*>(pixels));
    }
    if (SUCCEEDED(hr)) {
        hr = frame->Commit();
    }
    if (SUCCEEDED(hr)) {
        hr = encoder->Commit();
    }
    return hr;
}

}  // namespace cuewire
