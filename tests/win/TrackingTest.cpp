// The tracking tick on the real window system: what it costs when nothing moves,
// the about-window rule and the mirroring of the tracked window's translucency.
#include "WinTestSupport.h"
#include "components/Application.h"
#include "components/Handles.h"
#include "forms/Logoform.h"
#include "forms/Mainform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts the heap allocations that the test thread makes while counting is on. This
// replaces the global allocation function for the whole test program; with counting
// off it only forwards to malloc.
namespace {
std::atomic<DWORD> CountingThread{0};
std::atomic<long> Allocations{0};
// Keeps the control allocation below from being optimised away.
void* volatile Kept = nullptr;
} // namespace

void* operator new(std::size_t size) {
    if (CountingThread != 0 && GetCurrentThreadId() == CountingThread)
        ++Allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

const wchar_t TargetClass[] = L"TomarinTrackingTarget";

// An ordinary captioned window to perch on, optionally layered with an alpha.
class TTarget {
public:
    TTarget(int left, int top, int width, int height, int alpha = -1) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = TargetClass;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassW(&wc);
        Window.Reset(CreateWindowExW(alpha >= 0 ? WS_EX_LAYERED : 0, TargetClass, L"target",
                                     WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, top, width, height,
                                     nullptr, nullptr, wc.hInstance, nullptr));
        if (alpha >= 0)
            SetLayeredWindowAttributes(Window.Get(), 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    }
    HWND Handle() const { return Window.Get(); }

private:
    TWindowHandle Window;
};

bool Activate(HWND window) {
    SetForegroundWindow(window);
    return PumpUntil([window] { return GetForegroundWindow() == window; });
}

void Tick() {
    FmMain->Timer1Timer(FmMain->Timer1);
}

// Counts the position changes that reach a window.
int PositionChanges = 0;
WNDPROC OriginalProc = nullptr;
LRESULT CALLBACK CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_WINDOWPOSCHANGING)
        ++PositionChanges;
    return CallWindowProcW(OriginalProc, w, m, wp, lp);
}

// Alpha of a layered window, or -1 when the window is not layered.
int AlphaOf(HWND window) {
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED))
        return -1;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return 255;
    return alpha;
}

class TrackingTest : public testing::Test {
protected:
    void SetUp() override {
        Application->CreateForm(FmMain);
        Application->CreateForm(FmLogo);
        ShowWindow(FmMain->Handle(), SW_SHOWNOACTIVATE);
    }
    void TearDown() override { Application->DestroyForms(); }

    TSettingsFileGuard Settings;
};

TEST_F(TrackingTest, StillTargetCostsNoMoveAndNoAllocation) {
    TTarget target(200, 200, 400, 300);
    ASSERT_TRUE(Activate(target.Handle()));
    Tick();
    RECT r;
    GetWindowRect(FmMain->Handle(), &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 170);

    HWND h = FmMain->Handle();
    OriginalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
    PositionChanges = 0;
    CountingThread = GetCurrentThreadId();
    // The counter sees allocations.
    Kept = ::operator new(16);
    ::operator delete(Kept);
    EXPECT_EQ(Allocations, 1);
    Allocations = 0;
    for (int i = 0; i < 300; ++i)
        Tick();
    CountingThread = 0;
    EXPECT_EQ(PositionChanges, 0);
    EXPECT_EQ(Allocations, 0);

    // The counter sees moves: a moved target costs one horizontal and one vertical.
    SetWindowPos(target.Handle(), nullptr, 230, 260, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Tick();
    EXPECT_EQ(PositionChanges, 2);
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OriginalProc));
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, 230);
    EXPECT_EQ(r.top, 230);
}

TEST_F(TrackingTest, AboutWindowClosesWhenTheUserGoesToAnotherWindow) {
    TTarget target(200, 200, 400, 300);
    FmLogo->Show();
    ASSERT_TRUE(PumpUntil([] { return GetForegroundWindow() == FmLogo->Handle(); }));
    Tick();
    EXPECT_EQ(FmMain->TargetWnd, FmLogo->Handle());

    // Going to the character itself changes nothing: the about window stays.
    ASSERT_TRUE(Activate(FmMain->Handle()));
    Tick();
    EXPECT_TRUE(FmLogo->Visible());
    EXPECT_EQ(FmMain->TargetWnd, FmLogo->Handle());

    ASSERT_TRUE(Activate(target.Handle()));
    Tick();
    EXPECT_FALSE(FmLogo->Visible());
    EXPECT_EQ(FmMain->TargetWnd, target.Handle());
    EXPECT_EQ(FmMain->PrevTargetWnd, target.Handle());
}

TEST_F(TrackingTest, MirrorsTheTranslucencyOfANewlyTrackedWindowOnly) {
    FmMain->TransLevel = 300; // low 8 bits: 44
    TTarget layered(100, 100, 300, 200, 128);
    TTarget opaque(500, 100, 300, 200);
    HWND h = FmMain->Handle();

    ASSERT_TRUE(Activate(layered.Handle()));
    Tick();
    EXPECT_EQ(AlphaOf(h), 44);
    ASSERT_TRUE(Activate(opaque.Handle()));
    Tick();
    EXPECT_EQ(AlphaOf(h), -1);

    // A change the tracked window's program makes while it stays tracked is not
    // mirrored.
    SetWindowLongW(opaque.Handle(), GWL_EXSTYLE,
                   GetWindowLongW(opaque.Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    Tick();
    EXPECT_EQ(AlphaOf(h), -1);
}

TEST(TrackingBeforeAboutWindow, TickWaitsUntilTheAboutWindowExists) {
    TSettingsFileGuard settings;
    Application->CreateForm(FmMain);
    TTarget target(200, 200, 400, 300);
    ASSERT_TRUE(Activate(target.Handle()));
    RECT before;
    GetWindowRect(FmMain->Handle(), &before);
    Tick();
    EXPECT_EQ(FmMain->TargetWnd, nullptr);
    RECT after;
    GetWindowRect(FmMain->Handle(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    Application->DestroyForms();
}

} // namespace
