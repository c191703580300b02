#include "engine/convert_settings.h"

#include "mif/mif_numbers.h"
#include "support/text.h"

namespace quorvex {

int32_t AttrIndexOfCaption(std::string_view caption) {
    return TryParseMifInteger(caption).value_or(0);
}

int32_t AttrChoiceOfCaption(std::string_view caption) {
    return TryParseMifInteger(caption).value_or(-1);
}

std::optional<int32_t> ZoneNumberOf(std::string_view text) {
    const auto n = TryParseMifInteger(text);
    if (!n || *n < 1 || *n > 19) return std::nullopt;
    return n;
}

TConvertSettings SettingsFromRow(const TBatchRow& row) {
    TConvertSettings s;
    s.MifFile = row.SubItems[TBatchRow::MifFile];
    s.SimFile = row.SubItems[TBatchRow::SimFile];
    s.Genba = row.SubItems[TBatchRow::Genba];
    s.AttrIndex = AttrIndexOfCaption(row.Caption);
    s.Kakuchi = IsSwitchOn(row.SubItems[TBatchRow::Kakuchi]);
    s.Rosen = IsSwitchOn(row.SubItems[TBatchRow::Rosen]);
    s.SwapXY = IsSwitchOn(row.SubItems[TBatchRow::SwapXY]);
    s.CloseParcel = IsSwitchOn(row.SubItems[TBatchRow::CloseParcel]);
    s.Zone = row.Zone;
    return s;
}

TBatchRow RowFromSettings(const TConvertSettings& s, std::string_view attrName) {
    TBatchRow row;
    row.Caption = std::to_string(s.AttrIndex);
    row.SubItems = {s.MifFile,
                    s.SimFile,
                    std::string(attrName),
                    s.Genba,
                    std::string(SwitchText(s.Kakuchi)),
                    std::string(SwitchText(s.Rosen)),
                    std::string(SwitchText(s.SwapXY)),
                    std::string(SwitchText(s.CloseParcel))};
    row.Zone = s.Zone;
    return row;
}

std::optional<TMessage> JobRefusal(const TConvertSettings& s) {
    if (!s.Kakuchi && !s.Rosen) return TMessage(TMsg::BatchRowNoTarget);
    if (HasControlCharacter(s.Genba)) return TMessage(TMsg::BatchRowBadGenba);
    return std::nullopt;
}

}  // namespace quorvex
