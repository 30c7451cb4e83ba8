// Once a scene is built, frames allocate nothing: the world step, the drawing
// and the frames of every screen are run in a real GL window while every
// operator new of the process is counted. The count covers all C++ code in
// the process: ours, the standard library's and any C++ inside the GL
// driver; the driver's C code allocates through malloc, which is its own
// business, so malloc is not counted.
#include "Attractor.h"
#include "Ball.h"
#include "BallSet.h"
#include "Editing.h"
#include "FrameClock.h"
#include "GlWindow.h"
#include "Wall.h"
#include "World.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + align - 1) / align * align;
    if (void* memory = std::aligned_alloc(align, rounded == 0 ? align : rounded)) return memory;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }

namespace {

uint32_t fakeNow = 0;
uint32_t fakeClock() { return fakeNow; }

// Counts the allocations made by `frames` runs of `work`.
template <typename Work>
long allocationsDuring(int frames, Work work) {
    allocations = 0;
    counting = true;
    for (int i = 0; i < frames; ++i) work();
    counting = false;
    return allocations.load();
}

void nextFrame() {
    fakeNow += 16;
    FrameClock::instance().frame();
}

class FrameAllocations : public testing::Test {
protected:
    static void SetUpTestSuite() {
        FrameClock::useClock(fakeClock);
        FrameClock::instance().setUpScene();
        // A scene with every kind of thing a frame steps and draws: balls
        // against walls, attractors pulling them, and a wall being drawn.
        World& scene = world();
        for (int i = 0; i < 8; ++i) {
            Attractor* attractor = new Attractor;
            attractor->x = -40.0f + 10.0f * float(i);
            attractor->y = 20.0f + 3.0f * float(i);
            scene.attractors.append(attractor);
        }
        for (int i = 0; i < 30; ++i) {
            Wall* wall = new Wall;
            wall->x1 = -45.0f + 3.0f * float(i);
            wall->y1 = 5.0f + 2.0f * float(i % 7);
            wall->x2 = wall->x1 + 6.0f;
            wall->y2 = wall->y1 + float(i % 5) - 2.0f;
            wall->finish();
            scene.walls.append(wall);
        }
        for (int i = 0; i < 500; ++i) {
            Ball* ball = new Ball;
            ball->x = -48.0f + 0.19f * float(i);
            ball->y = 2.0f + 0.14f * float(i);
            scene.balls.append(ball);
        }
        PendingWall = new Wall;
        PendingWall->x2 = 10.0f;
        PendingWall->y2 = 10.0f;
    }
};

TEST_F(FrameAllocations, PlayingFramesAllocateNothing) {
    ScreenState = 2;
    allocationsDuring(5, nextFrame);  // the GL compiles its shaders on first use
    EXPECT_EQ(allocationsDuring(100, nextFrame), 0);
    EXPECT_EQ(allocationsDuring(100, [] { FrameClock::instance().stepWorld(); }), 0);
}

TEST_F(FrameAllocations, ScreenFramesAllocateNothing) {
    for (int32_t screen : {0, 1, 3}) {
        SCOPED_TRACE(screen);
        ScreenState = screen;
        allocationsDuring(3, nextFrame);
        EXPECT_EQ(allocationsDuring(50, nextFrame), 0);
    }
}

// The counter does see allocations: appending a new ball makes one.
TEST_F(FrameAllocations, TheCounterSeesAnAllocation) {
    ScreenState = 2;
    EXPECT_GT(allocationsDuring(1, [] { world().balls.append(new Ball); }), 0);
}

}  // namespace
