#include "tests/sample_file.h"

namespace testing_support {

using runtime::FieldMeaning;
using runtime::FieldType;
using runtime::KeyFlags;
using runtime::KeyOrder;

const runtime::FileDeclaration& SampleDeclaration() {
  static const runtime::FileDeclaration declaration = [] {
    runtime::FileDeclaration d;
    d.label = "Sample";
    d.prefix = "SAM";
    d.fields = {
        {kCode, "SAM:CODE", FieldType::ULong, 0, 4, 0, 1, FieldMeaning::Plain},
        {kName, "SAM:NAME", FieldType::String, 4, 6, 0, 1, FieldMeaning::Plain},
        {kAmount, "SAM:AMOUNT", FieldType::Decimal, 10, 3, 1, 1, FieldMeaning::Plain},
        {kSigned, "SAM:SIGNED", FieldType::Long, 13, 4, 0, 1, FieldMeaning::Plain},
        {kTag, "SAM:TAG", FieldType::String, 17, 3, 0, 1, FieldMeaning::Plain},
        {kSmall, "SAM:SMALL", FieldType::Short, 20, 2, 0, 1, FieldMeaning::Plain},
        {kFlag, "SAM:FLAG", FieldType::Byte, 22, 1, 0, 1, FieldMeaning::Plain},
    };
    d.record_length = 23;
    d.keys = {
        {"SAM:KEY:CODE", {{kCode}}, KeyFlags::Unique | KeyFlags::Primary, "code", 1, ""},
        {"SAM:KEY:NAME",
         {{kName}, {kSigned, KeyOrder::Descending}},
         KeyFlags::NoCase,
         "name",
         0,
         ""},
        {"SAM:KEY:AMOUNT", {{kAmount}, {kSmall}}, KeyFlags::ExcludeEmpty, "amount", 0, ""},
        {"SAM:KEY:TAG",
         {{kTag}, {kFlag, KeyOrder::Descending}},
         KeyFlags::Unique | KeyFlags::ExcludeEmpty,
         "tag",
         0,
         "TagIndex"},
        {"SAM:KEY:SIGNED", {{kSigned, KeyOrder::Descending}}, KeyFlags::None, "signed", 0, ""},
    };
    return d;
  }();
  return declaration;
}

}  // namespace testing_support
