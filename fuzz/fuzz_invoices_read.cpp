// Arbitrary bytes as the saved record of :Saved:the invoices, their lines and the business profile.
#include "FuzzRead.h"
#include "invoices/InvoiceStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRead::readRecord<InvoiceStore::Saved>(data, size);
    return 0;
}
