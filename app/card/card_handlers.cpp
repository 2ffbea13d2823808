#include "app/card/card_handlers.h"

#include <string>

#include "app/card/card_drawing.h"
#include "app/card/card_texts.h"
#include "app/card/profile_reply.h"
#include "app/card/service_hosts.h"
#include "app/forms/unit_ids.h"
#include "app/saving/save_card.h"
#include "app/settings/app_settings.h"
#include "app/settings/property_numbers.h"
#include "app/settings/settings_handlers.h"
#include "app/web/text_helpers.h"
#include "app/web/web_request.h"
#include "runtime/commands/file_commands.h"
#include "runtime/commands/message_box_command.h"
#include "runtime/dragdrop/drop_target.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "graphics/draw_panel/unit/draw_panel_commands.h"

namespace quorlin::app {
namespace {

OwnedText ReadId() { return ReadTextProperty(units::IdEdit, property::kEditContent); }

void SetVisible(const UnitRef& unit, bool visible) { WriteBooleanProperty(unit, property::kVisible, visible); }

void RegisterDropWindow(const UnitRef& target, const UnitRef& window) {
  CallLibrary(&dragdrop::RegisterDropWindowCommand, {target.Value(), MakeInteger(WindowHandleOf(window))});
}

OwnedBytes ReadDroppedFile(const forms::HandlerArguments& arguments) {
  const char* path = arguments.count > 0 ? reinterpret_cast<const char*>(static_cast<uintptr_t>(arguments.values[0]))
                                         : nullptr;
  return CallCoreBytes(&commands::ReadFileBytes, {MakeText(path)});
}

OwnedText Join(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts) joined += part;
  return OwnedText::Copy(joined);
}

}  // namespace

forms::HandlerResult LoadSettings(const forms::HandlerArguments&) {
  RegisterDropWindow(units::CardDropTarget, units::Canvas);
  RegisterDropWindow(units::PortraitDropTarget, units::Portrait);
  LoadSettingsAtStartup();
  LoadServiceHosts();
  return {};
}

forms::HandlerResult GenerateCard(const forms::HandlerArguments&) {
  if (ReadId().empty()) {
    CallCore(&commands::ShowMessageBox, {MakeText(texts::kEnterId), MakeInteger(0)});
    return {};
  }
  CallCore(&drawpanel::ClearCommand, {units::Canvas.Value()});
  SetVisible(units::Canvas, true);
  ProcessPendingMessages();

  // The messages just processed may have emptied the ID box.
  if (ReadId().empty()) {
    SetVisible(units::Portrait, false);
    SetVisible(units::PortraitFrame, false);
    ProcessPendingMessages();
    return {};
  }
  const AppSettings& settings = Settings();
  SetVisible(units::PortraitFrame, true);
  SetVisible(units::Portrait, true);
  WriteIntegerProperty(units::PortraitFrame, property::kPicBoxBackColor, settings.borderColour);

  const OwnedText id = ReadId();
  const OwnedText encodedId = web::UrlEncode(id.get());
  const OwnedText profileUrl =
      Join({texts::kHttp, ProfileHost(), texts::kProfilePath, texts::kProfileQuery, encodedId.view()});
  web::WebRequestArguments profileRequest;
  profileRequest.url = profileUrl.get();
  const OwnedText reply = web::WebRequestText(profileRequest);

  const OwnedText portrait = PortraitOf(reply.get());
  const OwnedText age = ForumAgeOf(reply.get());
  const OwnedText portraitUrl = Join({texts::kHttp, PortraitHost(), texts::kPortraitPath, portrait.view()});

  if (settings.onlineAvatar == 1) {
    web::WebRequestArguments portraitRequest;
    portraitRequest.url = portraitUrl.get();
    const OwnedBytes picture = web::WebRequest(portraitRequest);
    WriteByteSetProperty(units::Portrait, property::kPicBoxPicture, picture.get());
  } else {
    WriteByteSetProperty(units::Portrait, property::kPicBoxPicture, settings.localAvatarBytes.get());
  }

  DrawCardTexts(id.get(), age.get(), settings.fontFace.get());
  ProcessPendingMessages();

  const OwnedBytes cardPicture = TakeCardPicture(settings.smallCard);
  SaveCard(cardPicture, settings.saveMode);
  ProcessPendingMessages();
  return {};
}

forms::HandlerResult DropOnCard(const forms::HandlerArguments& arguments) {
  const OwnedBytes bytes = ReadDroppedFile(arguments);
  WriteByteSetProperty(units::Canvas, property::kPanelBackPicture, bytes.get());
  return {};
}

forms::HandlerResult DropOnPortrait(const forms::HandlerArguments& arguments) {
  const OwnedBytes bytes = ReadDroppedFile(arguments);
  WriteByteSetProperty(units::Portrait, property::kPicBoxPicture, bytes.get());
  return {};
}

}  // namespace quorlin::app
