#include "components/Dispatch.h"

#include "components/Application.h"
#include "components/SysUtils.h"

void HandleEventException(std::exception_ptr error) noexcept {
    try {
        try {
            std::rethrow_exception(error);
        } catch (const EAbort&) {
        } catch (const Exception& e) {
            Application->ShowException(e);
        } catch (...) {
            Application->ShowException(Exception(L""));
        }
    } catch (...) {
        // The display itself failed (out of memory); nothing more can be shown.
    }
}
