#include "video/NdiSender.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "tests/fakes/FakeNdiRuntime.h"
#include "tests/fakes/FakePorts.h"
#include "video/PixelFormat.h"

namespace cuewire {
namespace {

using testing::CountingFrameBuffers;
using testing::FakeNdiRuntime;

class NdiSenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime.framesAllocatedProbe = [](const void* sender) {
            return static_cast<const CNdiSender*>(sender)->FramesAllocated();
        };
        runtime.probeContext = &sender;
        ASSERT_TRUE(sender.InitialiseNdi());
        ASSERT_TRUE(sender.AllocateFrames());
    }

    FakeNdiRuntime runtime;
    CountingFrameBuffers frameBuffers;
    CNdiSender sender{runtime, frameBuffers};
};

TEST_F(NdiSenderTest, NamesTheSourceByCopyNumberAndAnnouncesTheProduct) {
    for (int instance : {0, 7}) {
        runtime.calls.clear();
        sender.CreateSender(instance);
        ASSERT_EQ(runtime.calls.size(), 2u);
        EXPECT_EQ(runtime.calls[0].senderName, "Bryvo Cuewire " + std::to_string(instance + 1));
        const std::string& metadata = runtime.calls[1].metadata;
        EXPECT_EQ(metadata,
                  "<ndi_product long_name=\"Bryvo Stillo - signal generator\"              "
                  "short_name=\"Bryvo Stillo\"              manufacturer=\"Bryvo\"              "
                  "version=\"1.0.3\"              session=\"default\"              "
                  "model_name=\"B1\"              serial=\"00001\"/>");
        EXPECT_EQ(runtime.calls[1].metadataLength, static_cast<int>(metadata.size()));
        EXPECT_EQ(runtime.calls[1].metadataTimecode, INT64_MAX);
        sender.DestroySender();
    }
}

TEST_F(NdiSenderTest, FillsBothDescriptorsForEveryMode) {
    struct Case {
        int w, h, rateD;
        bool alpha;
        uint32_t fourCc;
    } cases[] = {
        {1280, 720, 1200, true, 0x41524742},
        {1920, 1080, 1001, false, 0x58524742},
        {1920, 1080, 1000, true, 0x41524742},
    };
    const uint8_t* buffers[2] = {sender.Frame(0)->p_data, sender.Frame(1)->p_data};
    for (const Case& c : cases) {
        sender.FillFrameDescriptors(c.w, c.h, 30000, c.rateD, c.alpha);
        for (int i = 0; i < 2; ++i) {
            const NDIlib_video_frame_v2_t& frame = *sender.Frame(i);
            EXPECT_EQ(frame.xres, c.w);
            EXPECT_EQ(frame.yres, c.h);
            EXPECT_EQ(frame.FourCC, c.fourCc);
            EXPECT_EQ(frame.frame_rate_N, 30000);
            EXPECT_EQ(frame.frame_rate_D, c.rateD);
            EXPECT_EQ(std::bit_cast<uint32_t>(frame.picture_aspect_ratio), 0x3fe38e39u);
            EXPECT_EQ(frame.frame_format_type, 1);
            EXPECT_EQ(frame.timecode, INT64_MAX);
            EXPECT_EQ(frame.line_stride_in_bytes, c.w * 4);
            EXPECT_EQ(frame.p_metadata, nullptr);
            EXPECT_EQ(frame.timestamp, 0);
            EXPECT_EQ(frame.p_data, buffers[i]);  // never moved after allocation
        }
    }
}

TEST_F(NdiSenderTest, BuffersAreLargeEnoughForA4KFrameAndStartZeroed) {
    for (int i = 0; i < 2; ++i) {
        const uint32_t* pixels = sender.FramePixels(i);
        EXPECT_EQ(pixels[0], 0u);
        EXPECT_EQ(pixels[kFrameBufferBytes / 4 - 1], 0u);
    }
}

TEST_F(NdiSenderTest, SendsOnlyWhileASenderExists) {
    sender.FillFrameDescriptors(1280, 720, 30000, 1200, true);
    sender.SendFrame(0);
    EXPECT_EQ(runtime.Count("send_video"), 0);
    runtime.createReturnsNull = true;
    sender.CreateSender(0);
    EXPECT_EQ(runtime.Count("send_add_connection_metadata"), 0);  // no sender, no metadata
    sender.SendFrame(0);
    EXPECT_EQ(runtime.Count("send_video"), 0);
    runtime.createReturnsNull = false;
    sender.CreateSender(0);
    sender.SendFrame(1);
    EXPECT_EQ(runtime.Count("send_video"), 1);
    EXPECT_EQ(runtime.calls.back().frameData, sender.Frame(1)->p_data);
}

TEST_F(NdiSenderTest, ShutdownFlushesBeforeFreeingAndDestroysTheRuntimeLast) {
    sender.FillFrameDescriptors(1280, 720, 30000, 1200, true);
    sender.CreateSender(0);
    sender.SendFrame(0);
    runtime.calls.clear();
    sender.ShutdownNdi();
    const std::vector<std::string> expected = {"send_video(null)", "send_destroy", "destroy"};
    EXPECT_EQ(runtime.FunctionNames(), expected);
    EXPECT_TRUE(runtime.calls[0].framesAllocated) << "the flush must come before the buffers go";
    EXPECT_FALSE(runtime.calls[1].framesAllocated) << "buffers are freed before the sender";
    EXPECT_EQ(runtime.liveSenders, 0);
    EXPECT_EQ(frameBuffers.live, 0);

    runtime.calls.clear();
    sender.ShutdownNdi();  // a second shutdown (the destructor's) releases nothing twice
    EXPECT_TRUE(runtime.calls.empty());
}

TEST_F(NdiSenderTest, ShutdownWithoutSenderStillFreesAndDestroysTheRuntime) {
    runtime.calls.clear();
    sender.ShutdownNdi();
    EXPECT_EQ(runtime.FunctionNames(), std::vector<std::string>{"destroy"});
    EXPECT_FALSE(sender.FramesAllocated());
}

TEST(NdiSenderStart, ARuntimeThatCannotRunIsReportedAndNeverShutDown) {
    struct Case {
        const char* name;
        void (*spoil)(FakeNdiRuntime&);
    } cases[] = {
        {"initialize fails", [](FakeNdiRuntime& r) { r.initializeResult = false; }},
        {"a function is missing",
         [](FakeNdiRuntime& r) { r.lacksAFunction = true; }},
    };
    for (const Case& c : cases) {
        FakeNdiRuntime runtime;
        CountingFrameBuffers frameBuffers;
        c.spoil(runtime);
        {
            CNdiSender sender(runtime, frameBuffers);
            EXPECT_FALSE(sender.InitialiseNdi()) << c.name;
            sender.CreateSender(0);
        }
        EXPECT_EQ(runtime.Count("destroy"), 0) << c.name;
        EXPECT_EQ(runtime.Count("send_create"), 0) << c.name;
    }
}

TEST(NdiSenderStart, AFrameBufferThatCannotBeHadIsReportedAndNothingLeaks) {
    for (int failAt : {1, 2}) {
        FakeNdiRuntime runtime;
        CountingFrameBuffers frameBuffers;
        frameBuffers.failAt = failAt;
        {
            CNdiSender sender(runtime, frameBuffers);
            ASSERT_TRUE(sender.InitialiseNdi());
            EXPECT_FALSE(sender.AllocateFrames()) << "refused at request " << failAt;
            EXPECT_FALSE(sender.FramesAllocated()) << failAt;
            EXPECT_EQ(frameBuffers.requests, failAt) << "no request after the refusal";
            EXPECT_EQ(sender.FramePixels(0) != nullptr, failAt == 2) << failAt;
            EXPECT_EQ(sender.Frame(1), nullptr) << "no descriptor without its buffer";
            sender.ShutdownNdi();
            EXPECT_EQ(frameBuffers.live, 0) << "the buffer had before the refusal is freed";
        }
        EXPECT_EQ(runtime.FunctionNames(), (std::vector<std::string>{"initialize", "destroy"}))
            << "the runtime that did start is shut down once: " << failAt;
    }
}

}  // namespace
}  // namespace cuewire
