// A DLL whose only export has no name, only the ordinal 12.
extern "C" int __stdcall probe_answer(int x) { return 2 * x + 1; }
