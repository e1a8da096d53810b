// The adapter list: the count of network adapters and the text of their descriptions,
// each followed by "[;]", as the system report prints them.
#pragma once

#include <cstddef>

// Runs a complete inventory and writes the adapter text into text (capacity bytes,
// NUL included). Answers the number of included adapters, 0 when there is none, or -1
// when the inventory cannot run; the text is empty then. Cuts: the text keeps whole
// entries and stops before the first that does not fit; the count still counts every
// adapter.
int ListAdapters(char* text, size_t capacity);

template <size_t N> int ListAdapters(char (&text)[N]) { return ListAdapters(text, N); }
