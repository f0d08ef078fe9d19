// The in-process tests share one application object; each test that creates forms
// destroys them again in its fixture.
#include "components/Application.h"

#include <gtest/gtest.h>

namespace {

// Leaves the next test the state a fresh process would give it: no forms, and no
// message of this test left in the queue. A quit request left behind would end the
// next message box at once.
class TCleanState : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        Application->DestroyForms();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT)
                DispatchMessageW(&msg);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application->Initialize();
    Application->SetTitle(L"とまりん");
    testing::UnitTest::GetInstance()->listeners().Append(new TCleanState);
    return RUN_ALL_TESTS();
}
