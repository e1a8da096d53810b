// Placeholder until the inventory over the SNMP extension agent is built: reports that
// the inventory cannot run.
#include "mib/adapters.h"

int ListAdapters(char* text, size_t capacity)
{
    if (capacity > 0) text[0] = '\0';
    return -1;
}
