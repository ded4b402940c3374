#include "app/error_message.h"

#include <new>
#include <stdexcept>

namespace tesslow {

std::string MessageForException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::runtime_error& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return "Out of memory.";
    } catch (...) {
        return "Unhandled exception.";
    }
}

int RunGuarded(const std::function<void()>& body, const std::function<void(const std::string&)>& show)
{
    try {
        body();
    } catch (...) {
        show(MessageForException(std::current_exception()));
    }
    return 0;
}

}  // namespace tesslow
