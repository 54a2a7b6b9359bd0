#pragma once

namespace wendrel {

// The framework's "operation abandoned" exception. It is thrown as a heap
// object; whoever catches it calls Delete.
class CUserException {
  public:
    CUserException() = default;
    virtual ~CUserException() = default;
    CUserException(const CUserException&) = delete;
    CUserException& operator=(const CUserException&) = delete;

    void Delete() { delete this; }
};

[[noreturn]] void AfxThrowUserException();

}  // namespace wendrel
