#include "framework/windows/user_exception.h"

namespace wendrel {

void AfxThrowUserException() {
    throw new CUserException;
}

}  // namespace wendrel
