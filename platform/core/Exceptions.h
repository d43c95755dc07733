// The exception hierarchy. Every failure the user can meet is one of these,
// carrying a message that says what went wrong in terms the user knows.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }
  void SetMessage(std::string Value) { FMessage = std::move(Value); }
  virtual const char* ClassName() const noexcept { return "Exception"; }

private:
  std::string FMessage;
};

#define RIX_DECLARE_EXCEPTION(Name, Base)                                  \
  class Name : public Base {                                              \
  public:                                                                 \
    using Base::Base;                                                     \
    const char* ClassName() const noexcept override { return #Name; }    \
  }

RIX_DECLARE_EXCEPTION(EInvalidGridOperation, Exception);
RIX_DECLARE_EXCEPTION(EDatabaseError, Exception);
RIX_DECLARE_EXCEPTION(EStreamError, Exception);
RIX_DECLARE_EXCEPTION(EFilerError, EStreamError);
RIX_DECLARE_EXCEPTION(EReadError, EFilerError);
RIX_DECLARE_EXCEPTION(EWriteError, EFilerError);
RIX_DECLARE_EXCEPTION(EClassNotFound, EFilerError);
RIX_DECLARE_EXCEPTION(EFOpenError, EStreamError);
RIX_DECLARE_EXCEPTION(EFCreateError, EStreamError);
RIX_DECLARE_EXCEPTION(EIntError, Exception);
RIX_DECLARE_EXCEPTION(EIntOverflow, EIntError);
RIX_DECLARE_EXCEPTION(ERangeError, EIntError);
RIX_DECLARE_EXCEPTION(EListError, Exception);
RIX_DECLARE_EXCEPTION(EStringListError, EListError);
RIX_DECLARE_EXCEPTION(EInvalidCast, Exception);
RIX_DECLARE_EXCEPTION(EAssertionFailed, Exception);
RIX_DECLARE_EXCEPTION(EConvertError, Exception);
RIX_DECLARE_EXCEPTION(EInvalidOperation, Exception);
RIX_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
RIX_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
RIX_DECLARE_EXCEPTION(EOutOfResources, Exception);
RIX_DECLARE_EXCEPTION(EComponentError, Exception);
RIX_DECLARE_EXCEPTION(EOSError, Exception);
RIX_DECLARE_EXCEPTION(EAbort, Exception);

// Raises EAbort, the silent exception that unwinds without a message box.
[[noreturn]] void Abort();
