#include "ComApartment.h"

#include <objbase.h>

namespace win32window {

ComApartment::ComApartment()
    : entered_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
{
}

ComApartment::~ComApartment()
{
    if (entered_)
        ::CoUninitialize();
}

} // namespace win32window
