#include "tools/card_tool/card_maker.h"

#include <atomic>

#include "app/card/card_drawing.h"
#include "app/card/card_handlers.h"
#include "app/forms/unit_ids.h"
#include "app/settings/app_settings.h"
#include "app/settings/property_numbers.h"
#include "platform/user/message_box.h"

namespace quorlin::card_tool {
namespace {

constexpr int32_t kSaveNothing = 3;

std::atomic<int> boxesShown{0};

// A message box of the card generation (the generation's way of saying it made no card) is
// counted, not shown: standard error belongs to the failure lines.
int CountMessageBox(HWND, LPCSTR, LPCSTR, UINT type) {
  ++boxesShown;
  return platform::FirstButtonOf(type);
}

}  // namespace

CardMaker::CardMaker(std::optional<bool> smallCard) {
  app::AppSettings& settings = app::Settings();
  if (smallCard) settings.smallCard = *smallCard ? 1 : 0;
  settings.saveMode = kSaveNothing;
  platform::SetMessageBoxPresenter(&CountMessageBox);
}

CardMaker::~CardMaker() { platform::SetMessageBoxPresenter(nullptr); }

CardMaker::Card CardMaker::Make(const CardId& id, const CardReplies& replies) {
  app::WriteTextProperty(app::units::IdEdit, app::property::kEditContent, id.gbk.c_str());
  const int boxesBefore = boxesShown.load();
  AnswerRequestsFrom(&replies);
  app::GenerateCard(forms::HandlerArguments{});
  AnswerRequestsFrom(nullptr);
  Card card;
  card.messageShown = boxesShown.load() != boxesBefore;
  // The window still shows the card the handler took; it is taken again the same way.
  if (!card.messageShown) card.picture = app::TakeCardPicture(app::Settings().smallCard);
  return card;
}

}  // namespace quorlin::card_tool
