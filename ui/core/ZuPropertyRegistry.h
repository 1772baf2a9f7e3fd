#pragma once

#include "ui/core/ZuVariant.h"

#include <map>
#include <string>

class ZuRttiObject;

struct ZuPropertyAccessor {
    void (*setter)(ZuRttiObject* object, const ZuVariant& value) = nullptr;
    ZuVariant (*getter)(const ZuRttiObject* object) = nullptr;
};

// Process-wide named class properties (animations set "opacity" through it).
class ZuPropertyRegistry {
public:
    static ZuPropertyRegistry* instance();

    // Inserts or replaces the accessor of `name`.
    bool registerProperty(const char* name, const ZuPropertyAccessor& accessor);
    bool hasClassProperty(const char* name) const;
    // False when no class registered the name or it has no setter.
    bool setClassProperty(ZuRttiObject* object, const char* name, const ZuVariant& value) const;
    // The invalid variant when unknown.
    ZuVariant classProperty(const ZuRttiObject* object, const char* name) const;

private:
    std::map<std::string, ZuPropertyAccessor> m_properties;
};
