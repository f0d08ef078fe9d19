// The in-process tests share one application object; each test that creates forms
// destroys them again in its fixture.
#include "components/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application->Initialize();
    Application->SetTitle(L"とまりん");
    return RUN_ALL_TESTS();
}
