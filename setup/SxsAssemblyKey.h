#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The name of an assembly's directory in the side-by-side store, computed from
// the attributes of its manifest's "assemblyIdentity" element.
struct AssemblyAttribute {
    std::wstring name;
    std::wstring value;
};

// h := h x 65599 + c over the code units, lower-case ASCII letters upper-cased.
uint32_t sxsStringHash(const std::wstring& text);
// processorArchitecture_name_publicKeyToken_version_language_hash; "*" values
// count as missing, a missing language is "x-ww", anything else missing "none".
std::wstring sxsAssemblyKey(const std::vector<AssemblyAttribute>& attributes);

// Reads the attributes of the "assemblyIdentity" element directly under the
// root of a UTF-8 manifest (an initial byte-order mark is skipped). False when
// the file cannot be read, is not well-formed enough to find it, or has none.
bool readAssemblyIdentity(const std::wstring& manifestPath, std::vector<AssemblyAttribute>& attributes);
bool parseAssemblyIdentity(const std::wstring& xml, std::vector<AssemblyAttribute>& attributes);
