#include "control/automation/automation.h"

#include "control/playctrl.h"
#include "platform/automation/member_binding.h"

namespace tambolin::automation {

namespace {

constexpr Long kProp = 0x68030000;
constexpr Long kMeth = 0x60030000;

const MemberTable<PLAYCTRL> &table() {
    static const MemberTable<PLAYCTRL> members = [] {
        MemberTable<PLAYCTRL> t;
        auto add = [&t](Long id, Kind kind, Member member) {
            member.id = id;
            member.kind = kind;
            t.add(std::move(member));
        };
        using enum VarType;
        using P = PLAYCTRL;
        add(kProp + 2, PropertyGet, bind("FileName", String, {}, &P::FileName));
        add(kProp + 2, PropertyPut, bind("FileName", {}, {{"value", String}}, &P::setFileName));
        add(kMeth + 3, Method, bind("FileSave", {}, {{"fname", String}}, &P::FileSave));
        add(kMeth + 4, Method, bind("IniLoad", {}, {}, &P::IniLoad));
        add(kMeth + 5, Method, bind("IniSave", {}, {}, &P::IniSave));
        add(kMeth + 6, Method, bind("kijyunput", {}, {{"kno", Integer}}, &P::kijyunput));
        add(kMeth + 8, Method, bind("MidiEnd", {}, {}, &P::MidiEnd));
        add(kMeth + 9, Method, bind("MidiInit", {}, {}, &P::MidiInit));
        add(kMeth + 10, Method, bind("MidiOff", {}, {{"kk", Integer}}, &P::MidiOff));
        add(kMeth + 11, Method,
            bind("onpdatget", {}, {{"dat", Integer}, {"onpdat", Integer}, {"kaidat", Integer}},
                 &P::onpdatget));
        add(kMeth + 12, Method,
            bind("onpdatput", {},
                 {{"onpdat", Integer},
                  {"kaidat", Integer},
                  {"sanrflg", Boolean},
                  {"sanrcnt", Integer}},
                 &P::onpdatput));
        add(kProp + 1, PropertyGet, bind("Play", Boolean, {}, &P::Play));
        add(kProp + 1, PropertyPut, bind("Play", {}, {{"ponflg", Boolean}}, &P::setPlay));
        add(kProp + 0, PropertyGet, bind("MTitle", String, {}, &P::MTitle));
        add(kMeth + 13, Method,
            bind("TitleName_Get", Variant, {{"tbyte", Bytes}, {"tsize", Integer}},
                 &P::TitleName_Get));
        add(kMeth + 14, Method, bind("TitleName_Put", {}, {{"pnum", Integer}}, &P::TitleName_Put));
        add(kMeth + 15, Method, bind("MidiOn", {}, {{"kk", Integer}}, &P::MidiOn));
        add(kMeth + 16, Method, bind("FileLoad", {}, {{"fname", String}}, &P::FileLoad));
        add(kMeth + 22, Method, bind("meter", {}, {{"a", Integer}, {"n", Integer}}, &P::meter));
        return t;
    }();
    return members;
}

} // namespace

const std::vector<Member> &interfaceMembers() {
    return table().members();
}

const std::vector<Member> &eventMembers() {
    static const std::vector<Member> none;
    return none;
}

Long GetIDsOfNames(const QString &name) {
    const Member *member = table().byName(name);
    return member ? member->id : kUnknownName;
}

const Member *findMember(Long dispid, int kind) {
    return table().byId(dispid, kind);
}

Outcome Invoke(PLAYCTRL &ctrl, Long dispid, int kind, QVariantList &args) {
    return invokeWithValues(ctrl, findMember(dispid, kind), args);
}

Outcome Invoke(PLAYCTRL &ctrl, const QString &name, int kind, QVariantList &args) {
    return Invoke(ctrl, GetIDsOfNames(name), kind, args);
}

} // namespace tambolin::automation
