// The output's large blocks (two frame buffers, five surfaces, the preview) are
// sized for frames far larger than the output ever uses. They cost memory only
// where they are touched, so nothing may touch more of a block than the
// current mode uses; and a block the system refuses leaves its feature silent.
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "tests/fakes/FakeNdiRuntime.h"
#include "tests/fakes/FakePorts.h"
#include "video/Composer.h"
#include "video/PixelFormat.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

// Blocks of fresh anonymous pages, as the system gives them, that can tell
// how many of their pages have been touched, read or written: a page nobody
// touched has no page-table entry yet.
class MappedBlocks final : public IFrameBufferAllocator {
  public:
    ~MappedBlocks() override {
        for (const auto& [block, bytes] : m_blocks) {
            munmap(block, bytes);
        }
    }

    uint32_t* Allocate(size_t words) override {
        const size_t bytes = words * sizeof(uint32_t);
        void* block =
            mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) {
            return nullptr;
        }
        // One huge page would count as 512 touched pages.
        madvise(block, bytes, MADV_NOHUGEPAGE);
        m_blocks[block] = bytes;
        return static_cast<uint32_t*>(block);
    }

    void Free(uint32_t* buffer) override {
        const auto found = m_blocks.find(buffer);
        if (found != m_blocks.end()) {
            munmap(found->first, found->second);
            m_blocks.erase(found);
        }
    }

    // Bytes of the pages of `block` that were touched; -1 for a block not ours.
    long long TouchedBytes(const void* block) const {
        const auto found = m_blocks.find(const_cast<void*>(block));
        if (found == m_blocks.end()) {
            return -1;
        }
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        std::vector<unsigned char> resident((found->second + page - 1) / page);
        if (mincore(found->first, found->second, resident.data()) != 0) {
            return -1;
        }
        long long pages = 0;
        for (unsigned char r : resident) {
            pages += r & 1;
        }
        return pages * static_cast<long long>(page);
    }

    static long long PagesOf(long long bytes) {
        const long long page = sysconf(_SC_PAGESIZE);
        return (bytes + page - 1) / page * page;
    }

  private:
    std::map<void*, size_t> m_blocks;
};

// The preview's conversion with its buffer from the given blocks.
class BlockPreview final : public IPreview {
  public:
    explicit BlockPreview(IFrameBufferAllocator& blocks) : frame(blocks) {}
    void Setup() override { frame.Setup(); }
    void SetFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride,
                  uint32_t fourCc, float aspect) override {
        frame.SetFrame(pixels, width, height, stride, fourCc, aspect);
    }
    void Refresh() override {}
    CPreviewFrame frame;
};

// The output side as the panel drives it, every block from `blocks`.
struct OutputRig {
    OutputRig(IFrameBufferAllocator& frameBlocks, IFrameBufferAllocator& surfaceBlocks,
              IFrameBufferAllocator& previewBlocks)
        : sender(runtime, frameBlocks),
          preview(previewBlocks),
          composer(sender, canvas, pictures, wait, link, preview, surfaceBlocks) {
        pictures.Add(kSplashPictureId, 720, 276, 32, 0x80ffffff);
        pictures.Add(kBackgroundPictureId, 480, 270, 32, 0x00203040);
    }

    bool Start() {
        if (!sender.InitialiseNdi() || !sender.AllocateFrames()) {
            return false;
        }
        preview.Setup();
        composer.LoadPictures(1280, 720);
        sender.CreateSender(0);
        composer.ArmStartupFrame();
        return true;
    }

    // A change of video mode, in the panel's order, with its composition.
    void ApplyMode(int32_t width, int32_t height) {
        w = width;
        h = height;
        sender.DestroySender();
        sender.FillFrameDescriptors(w, h, 30000, 1200, true);
        composer.ApplySize(w, h);
        composer.ComposeAndSend({w, h, live, false});
        sender.CreateSender(0);
        sender.SendFrame(sender.CurrentFrame());
    }

    void Compose(std::u16string_view text, bool pending) {
        live = text;
        pending ? composer.QueueText() : composer.DropQueuedText();
        composer.ComposeAndSend({w, h, live, false});
    }

    // The start-up frame, its end, a text on and off, a long text cut at the box.
    void OperatorSession() {
        composer.EndStartup();
        Compose(u"", false);
        Compose(u"On air", true);
        Compose(u"", false);
        Compose(std::u16string(300, u'W'), true);
    }

    uint32_t FramePixel(int x, int y) { return sender.FramePixels(sender.CurrentFrame())[y * w + x]; }

    FakeNdiRuntime runtime;
    CNdiSender sender;
    BlockTextCanvas canvas;
    MemoryPictures pictures;
    RecordingWait wait;
    RecordingFollower link;
    BlockPreview preview;
    COutputComposer composer;
    std::u16string live;
    int32_t w = 1280;
    int32_t h = 720;
};

TEST(PixelBlockUse, NoBlockIsTouchedBeyondWhatTheModesInUseNeed) {
    MappedBlocks blocks;
    OutputRig rig(blocks, blocks, blocks);
    ASSERT_TRUE(rig.Start());

    struct Block {
        const char* name;
        const void* pixels;
        long long bytesAt720, bytesAt1080;  // the most that either mode uses
    };
    const COutputComposer& c = rig.composer;
    const Block table[] = {
        {"frame buffer 0", rig.sender.FramePixels(0), 1280 * 720 * 4, 1920 * 1080 * 4},
        {"frame buffer 1", rig.sender.FramePixels(1), 1280 * 720 * 4, 1920 * 1080 * 4},
        {"background", c.Background().Pixels(), 1280 * 720 * 4, 1920 * 1080 * 4},
        {"programme", c.Programme().Pixels(), 1280 * 720 * 4, 1920 * 1080 * 4},
        {"text box", c.TextBox().Pixels(), 1097 * 120 * 4, 1645 * 180 * 4},
        {"splash", c.Splash().Pixels(), 720 * 276 * 4, 720 * 276 * 4},
        {"start-up", c.StartupSurface().Pixels(), 720 * 276 * 4, 720 * 276 * 4},
        {"preview", rig.preview.frame.Bits(), 640 * 360 * 4, 960 * 540 * 4},
    };
    auto check = [&](const char* stage, bool at1080) {
        for (const Block& b : table) {
            const long long touched = blocks.TouchedBytes(b.pixels);
            ASSERT_GE(touched, 0) << b.name << " does not come from the blocks given";
            const long long most = MappedBlocks::PagesOf(at1080 ? b.bytesAt1080 : b.bytesAt720);
            EXPECT_LE(touched, most) << stage << ": " << b.name;
        }
    };

    rig.ApplyMode(1280, 720);
    rig.OperatorSession();
    EXPECT_EQ(rig.FramePixel(91, 612), kAlphaMask | kGlyphWhite) << "the long text fills the box";
    check("720 lines", false);
    // Back and forth: the larger mode's pages, never the whole block.
    rig.ApplyMode(1920, 1080);
    rig.OperatorSession();
    rig.ApplyMode(1280, 720);
    rig.OperatorSession();
    check("after 1080 lines", true);
}

// A surface or preview block the system refuses never stops the output: the
// frames still go out, showing what the remaining blocks allow.
TEST(PixelBlockUse, ARefusedSurfaceOrPreviewBlockLeavesOnlyItsFeatureSilent) {
    struct Case {
        const char* name;
        int refuseSurfacesFrom;  // 1-based request; 0 refuses none
        bool refusePreview;
        bool boxShown;
    } cases[] = {
        {"nothing refused", 0, false, true},
        {"the preview", 0, true, true},
        // Requests 1 to 5 are the splash, background, start-up, programme and
        // text surfaces, in the order the composer declares them.
        {"the text box", 5, false, false},
        {"programme and text box", 4, false, false},
        {"every surface", 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingFrameBuffers frameBlocks;
        CountingFrameBuffers surfaceBlocks;
        CountingFrameBuffers previewBlocks;
        surfaceBlocks.failAt = c.refuseSurfacesFrom;
        previewBlocks.failAt = c.refusePreview ? 1 : 0;
        {
            OutputRig rig(frameBlocks, surfaceBlocks, previewBlocks);
            ASSERT_TRUE(rig.Start()) << "only a refused frame buffer stops the output";
            EXPECT_EQ(rig.preview.frame.Bits() == nullptr, c.refusePreview);
            rig.ApplyMode(1280, 720);
            rig.composer.EndStartup();
            const int sendsBefore = rig.runtime.sendsWithFrame;
            rig.Compose(u"On air", true);
            EXPECT_EQ(rig.runtime.sendsWithFrame, sendsBefore + 1) << "the frame still goes out";
            EXPECT_EQ(rig.FramePixel(91, 552), c.boxShown ? kTextBoxBlack : kTransparentBlack);
            EXPECT_EQ(rig.FramePixel(0, 0), kTransparentBlack);
            EXPECT_TRUE(rig.composer.TextShown());
        }
        EXPECT_EQ(surfaceBlocks.live, 0) << "every surface block given back";
        EXPECT_EQ(previewBlocks.live, 0) << "the preview block given back";
        EXPECT_EQ(frameBlocks.live, 0);
    }
}

}  // namespace
}  // namespace cuewire
