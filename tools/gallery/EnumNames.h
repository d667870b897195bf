// The names of the display controls' enumerations, for the gallery's captions
// and the tests' traces: the program itself never shows them.
#pragma once
#include "core/DisplayTypes.h"

#include <array>
#include <cstddef>
#include <string_view>

template <typename E> struct EnumNames;

#define OSH_ENUM_NAMES(Type, ...)                                                                  \
    template <> struct EnumNames<Type> { static constexpr std::array names{__VA_ARGS__}; }

OSH_ENUM_NAMES(TTextStyle, std::string_view{"tsNone"}, std::string_view{"tsRaised"},
               std::string_view{"tsLightRaised"}, std::string_view{"tsRecessed"},
               std::string_view{"tsHeavyRecessed"}, std::string_view{"tsShadow"});
OSH_ENUM_NAMES(TBorderType, std::string_view{"btDefault"}, std::string_view{"btRecessed"},
               std::string_view{"btRaised"});
OSH_ENUM_NAMES(TLabelStyle, std::string_view{"lsDefault"}, std::string_view{"lsWWWAddress"},
               std::string_view{"lsEMailAddress"});
OSH_ENUM_NAMES(TEllipsesStyle, std::string_view{"esNone"}, std::string_view{"esEnd"},
               std::string_view{"esPath"});
OSH_ENUM_NAMES(TPenStyle, std::string_view{"psSolid"}, std::string_view{"psDash"},
               std::string_view{"psDot"}, std::string_view{"psDashDot"},
               std::string_view{"psDashDotDot"}, std::string_view{"psClear"},
               std::string_view{"psInsideFrame"});
OSH_ENUM_NAMES(TAlignment, std::string_view{"taLeftJustify"}, std::string_view{"taRightJustify"},
               std::string_view{"taCenter"});
OSH_ENUM_NAMES(TTextLayout, std::string_view{"tlTop"}, std::string_view{"tlCenter"},
               std::string_view{"tlBottom"});
OSH_ENUM_NAMES(TDLineDirection, std::string_view{"drHoriz"}, std::string_view{"drVert"});
OSH_ENUM_NAMES(TDLineRailStyle, std::string_view{"stNone"}, std::string_view{"stSunken"},
               std::string_view{"stSunkenPlus"}, std::string_view{"stRaised"},
               std::string_view{"stRaisedPlus"});

#undef OSH_ENUM_NAMES

// The stored name of a value; empty for a value outside the enumeration.
template <typename E> constexpr std::string_view EnumName(E value) {
    const auto& names = EnumNames<E>::names;
    const auto i = static_cast<long long>(value);
    return i >= 0 && i < static_cast<long long>(names.size()) ? names[static_cast<std::size_t>(i)]
                                                              : std::string_view{};
}
