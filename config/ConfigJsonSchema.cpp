// The JSON Schema of the export, built from the same field table as the
// export itself so that the two cannot drift apart. It is looser than the
// import in one place: which protocol a client port runs with (the source
// port) is checked by the import only.
#include "config/ConfigJson.h"

#include "config/ConfigJsonForm.h"
#include "config/NodeFieldTable.h"

using namespace NodeFields;
using namespace ConfigJsonForm;

namespace {

Json Integer(long long low, long long high) { return {{"type", "integer"}, {"minimum", low}, {"maximum", high}}; }

Json Ref(const char* name) { return {{"$ref", std::string("#/definitions/") + name}}; }

Json NameEnum(const std::vector<const char*>& names)
{
    Json list = Json::array();
    for (const char* name : names)
        list.push_back(name);
    return {{"enum", std::move(list)}};
}

Json TriggerChannel(bool voltage)
{
    const std::string high = TriggerKey("high", voltage), low = TriggerKey("low", voltage);
    return {{"type", "object"},
            {"additionalProperties", false},
            {"required", {"type", high, low}},
            {"properties", {{"type", {{"const", kChannelTypeNames[voltage]}}}, {high, Integer(0, 65535)}, {low, Integer(0, 65535)}}}};
}

Json FieldSchema(const NamedField& named)
{
    switch (named.kind) {
    case ValueKind::Number: {
        Json number = Integer(MinValue(named.field), MaxValue(named.field));
        if (named.field.coding == Coding::TensTruncated || named.field.coding == Coding::TensRounded)
            number["multipleOf"] = 10;
        return number;
    }
    case ValueKind::Flag: return {{"type", "boolean"}};
    case ValueKind::Choice:
        return {{"anyOf", {NameEnum(named.names), Integer(MinValue(named.field), MaxValue(named.field))}}};
    case ValueKind::PairChoice: return NameEnum(named.names);
    case ValueKind::HexByte: return {{"type", "string"}, {"pattern", "^[0-9A-Fa-f]{2}$"}};
    case ValueKind::Speed: {
        Json speeds = Json::array();
        for (const SpeedCode& speed : kSpeedCodes)
            speeds.push_back(speed.baud);
        return {{"enum", std::move(speeds)}};
    }
    case ValueKind::Address: return Ref("ipv4");
    case ValueKind::SourcePort: return {{"anyOf", {{{"const", "Auto"}}, Integer(0, 65535)}}};
    case ValueKind::Channels:
        return {{"type", "array"},
                {"minItems", kAnalogueChannels},
                {"maxItems", kAnalogueChannels},
                {"items", {{"oneOf", {TriggerChannel(true), TriggerChannel(false)}}}}};
    }
    return Json::object();
}

// One object schema per protocol or port type, and one for codes without a name.
Json Variants(const char* nameKey, const char* codeKey, const char* (*nameOf)(uint8_t), unsigned count,
              unsigned maxCode, const std::vector<NamedField>& (*fieldsOf)(uint8_t))
{
    Json variants = Json::array();
    Json named = Json::array();
    for (unsigned code = 1; code <= count; ++code) {
        Json properties = {{nameKey, {{"const", nameOf(uint8_t(code))}}}};
        Json required = {nameKey};
        Json variant = {{"type", "object"}, {"additionalProperties", false}};
        for (const NamedField& field : fieldsOf(uint8_t(code))) {
            properties[field.key] = FieldSchema(field);
            if (field.kind == ValueKind::Speed) {
                properties[kBaudCodeKey] = Integer(0, 255);
                variant["oneOf"] = {{{"required", {field.key}}}, {{"required", {kBaudCodeKey}}}};
            } else if (field.kind != ValueKind::SourcePort) {
                required.push_back(field.key);
            }
        }
        variant["required"] = std::move(required);
        variant["properties"] = std::move(properties);
        variants.push_back(std::move(variant));
        named.push_back(code);
    }
    Json code = Integer(0, maxCode);
    code["not"] = {{"enum", std::move(named)}};
    Json properties = Json::object();
    properties[codeKey] = std::move(code);
    variants.push_back({{"type", "object"},
                        {"additionalProperties", false},
                        {"required", {codeKey}},
                        {"properties", std::move(properties)}});
    return {{"oneOf", std::move(variants)}};
}

Json Remainder()
{
    return {{"type", "object"},
            {"propertyNames", {{"pattern", "^[0-9]{1,3}$"}}},
            {"additionalProperties", {{"type", "string"}, {"pattern", "^([0-9A-Fa-f]{2})+$"}}}};
}

Json NodeSchema()
{
    const Json slave = {{"type", "object"},
                        {"additionalProperties", false},
                        {"required", {"id", "readOffset", "readSize", "writeOffset", "writeSize"}},
                        {"properties",
                         {{"id", Integer(0, 255)},
                          {"readOffset", Integer(1, 65536)},
                          {"readSize", Integer(0, 255)},
                          {"writeOffset", Integer(1, 65536)},
                          {"writeSize", Integer(0, 255)}}}};
    return {{"type", "object"},
            {"additionalProperties", false},
            {"required", {"protocol", "port", "slaves"}},
            {"properties",
             {{"protocol", Variants("name", "code", ProtocolName, kProtocolCount, 255, ProtocolNamedFields)},
              {"port", Variants("type", "typeCode", PortTypeName, kPortTypeCount, 15, PortNamedFields)},
              {"slaves", {{"type", "array"}, {"maxItems", kMaxSlaves}, {"items", slave}}},
              {"storedSlaveCount", Integer(kMaxSlaves + 1, 255)},
              {"rest", Ref("rest")}}}};
}

} // namespace

std::string JsonSchemaText()
{
    const char* octet = "(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])";
    const std::string ipv4 = std::string("^(") + octet + "\\.){3}" + octet + "$";
    const Json general = {
        {"type", "object"},
        {"additionalProperties", false},
        {"required", {"writeProtect", "dataAgeSecs", "sdLogLevel", "sdLogAgeDays"}},
        {"properties",
         {{"writeProtect", {{"anyOf", {{{"type", "boolean"}}, Integer(2, 255)}}}},
          {"dataAgeSecs", Integer(0, 255)},
          {"sdLogLevel", Integer(0, 255)},
          {"sdLogAgeDays", Integer(0, 255)},
          {"storedNodeCount", Integer(kMaxNodes + 1, 255)},
          {"rest", Ref("rest")}}}};
    const Json ip = {{"type", "object"},
                     {"additionalProperties", false},
                     {"required", {"address", "subnetMask", "gateway", "mac", "bootLoaderPort", "reserved"}},
                     {"properties",
                      {{"address", Ref("ipv4")},
                       {"subnetMask", Ref("ipv4")},
                       {"gateway", Ref("ipv4")},
                       {"mac", {{"type", "string"}, {"pattern", "^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2}){5}$"}}},
                       {"bootLoaderPort", Integer(0, 65535)},
                       {"reserved", Integer(0, 65535)},
                       {"storedChecksum", Integer(0, 65535)}}}};
    const Json nodes = {{"type", "array"}, {"maxItems", kMaxNodes}, {"items", Ref("node")}};
    const Json schema = {
        {"$schema", "http://json-schema.org/draft-07/schema#"},
        {"title", "Quorastelline configuration"},
        {"description", "A whole device configuration as qst export writes it and qst import reads it."},
        {"type", "object"},
        {"additionalProperties", false},
        {"required", {"formatVersion", "general", "notes", "ip", "nodes"}},
        {"properties",
         {{"$schema", {{"type", "string"}}},
          {"formatVersion", {{"const", kJsonFormatVersion}}},
          {"general", general},
          {"notes", {{"type", "string"}, {"maxLength", 127}, {"pattern", "^[\\u0001-\\u00ff]*$"}}},
          {"notesRest", Ref("rest")},
          {"ip", ip},
          {"nodes", nodes},
          {"unusedNodes", nodes}}},
        {"definitions", {{"ipv4", {{"type", "string"}, {"pattern", ipv4}}}, {"rest", Remainder()}, {"node", NodeSchema()}}},
    };
    return schema.dump(2) + "\n";
}
