// The output's large blocks (two frame buffers, five surfaces, the preview) are
// sized for frames far larger than the output ever uses. They cost memory only
// where they are touched, so nothing may touch more of a block than the
// current mode uses; and a block the system refuses leaves its feature silent.
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "res/resource.h"
#include "tests/fakes/FakeNdiRuntime.h"
#include "tests/fakes/FakePorts.h"
#include "tests/fakes/OutputRig.h"
#include "video/PixelFormat.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

// Blocks of fresh anonymous pages, as the system gives them, that can tell
// how many of their pages have been touched, read or written: a page nobody
// touched has no page-table entry yet.
class MappedBlocks final : public IPixelBlockAllocator {
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

// The output as the panel drives it, its frame buffers from `frameBlocks` and
// its surfaces and preview image from `surfaceBlocks`.
struct OutputRig {
    OutputRig(IPixelBlockAllocator& frameBlocks, IPixelBlockAllocator& surfaceBlocks)
        : rig({runtime, frameBlocks, canvas, pictures, nullptr, nullptr, &preview,
               &surfaceBlocks}) {
        pictures.Add(IDB_SPLASH, 720, 276, 32, 0x80ffffff);
        pictures.Add(IDB_BACKGROUND, 480, 270, 32, 0x00203040);
    }

    // The start and the numbering step: the start-up frame goes out.
    bool Start() {
        if (!rig.Start()) {
            return false;
        }
        rig.Publish(ModeOf(1280, 720));
        return true;
    }

    void ApplyMode(int32_t width, int32_t height) { rig.ApplyMode(ModeOf(width, height)); }

    // The start-up frame's end, a text on and off, a long text cut at the box.
    void OperatorSession() {
        rig.output.EndStartupPeriod({});
        rig.Clear();
        rig.ShowText(u"On air");
        rig.Clear();
        rig.ShowText(std::u16string(300, u'W'));
    }

    FakeNdiRuntime runtime;
    BlockTextCanvas canvas;
    MemoryPictures pictures;
    RecordingPreviewWindow preview;
    COutputRig rig;
};

TEST(PixelBlockUse, NoBlockIsTouchedBeyondWhatTheModesInUseNeed) {
    MappedBlocks blocks;
    OutputRig rig(blocks, blocks);
    ASSERT_TRUE(rig.Start());

    struct Block {
        const char* name;
        const void* pixels;
        long long bytesAt720, bytesAt1080;  // the most that either mode uses
    };
    const COutputComposer& c = rig.rig.output.Composer();
    const CNdiSender& sender = rig.rig.output.Sender();
    const Block table[] = {
        {"frame buffer 0", sender.Frame(0)->p_data, 1280 * 720 * 4, 1920 * 1080 * 4},
        {"frame buffer 1", sender.Frame(1)->p_data, 1280 * 720 * 4, 1920 * 1080 * 4},
        {"background", c.Background().Pixels(), 1280 * 720 * 4, 1920 * 1080 * 4},
        {"programme", c.Programme().Pixels(), 1280 * 720 * 4, 1920 * 1080 * 4},
        {"text box", c.TextBox().Pixels(), 1097 * 120 * 4, 1645 * 180 * 4},
        {"splash", c.Splash().Pixels(), 720 * 276 * 4, 720 * 276 * 4},
        {"start-up", c.StartupSurface().Pixels(), 720 * 276 * 4, 720 * 276 * 4},
        {"preview", rig.preview.lastBits, 640 * 360 * 4, 960 * 540 * 4},
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
    EXPECT_EQ(rig.rig.Pixel(91, 612), kAlphaMask | kGlyphWhite) << "the long text fills the box";
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
        int refuseFrom, refuseUntil;  // 1-based requests; 0 refuses none
        bool refusePreview;
        bool boxShown;
    } cases[] = {
        {"nothing refused", 0, 0, false, true},
        {"the preview", 6, 6, true, true},
        // Requests 1 to 5 are the splash, background, start-up, programme and
        // text surfaces, in the order the composer declares them; the
        // preview's is the 6th.
        // A refusal that starts at a surface takes the preview's block, and
        // the surfaces' later ones, with it.
        {"the text box", 5, 0, true, false},
        {"programme and text box", 4, 0, true, false},
        {"every surface", 1, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingFrameBuffers frameBlocks;
        CountingFrameBuffers surfaceBlocks;
        surfaceBlocks.failAt = c.refuseFrom;
        surfaceBlocks.failUntil = c.refuseUntil;
        {
            OutputRig rig(frameBlocks, surfaceBlocks);
            ASSERT_TRUE(rig.Start()) << "only a refused frame buffer stops the output";
            EXPECT_EQ(rig.preview.shows == 0, c.refusePreview) << "a blank preview is not shown";
            rig.ApplyMode(1280, 720);
            rig.rig.output.EndStartupPeriod({});
            const int sendsBefore = rig.runtime.sendsWithFrame;
            rig.rig.ShowText(u"On air");
            EXPECT_EQ(rig.runtime.sendsWithFrame, sendsBefore + 1) << "the frame still goes out";
            EXPECT_EQ(rig.rig.Pixel(91, 552), c.boxShown ? kTextBoxBlack : kTransparentBlack);
            EXPECT_EQ(rig.rig.Pixel(0, 0), kTransparentBlack);
            EXPECT_TRUE(rig.rig.output.TextShown());
        }
        EXPECT_EQ(surfaceBlocks.live, 0) << "every surface and preview block given back";
        EXPECT_EQ(frameBlocks.live, 0);
    }
}

}  // namespace
}  // namespace cuewire
