#include "tools/card_tool/card_maker.h"

#include <atomic>

#include "app/card/card_handlers.h"
#include "app/forms/unit_ids.h"
#include "app/saving/save_card.h"
#include "app/settings/app_settings.h"
#include "app/settings/property_numbers.h"
#include "platform/user/message_box.h"

namespace quorlin::card_tool {
namespace {

constexpr int32_t kSaveNothing = 3;

std::atomic<int> boxesShown{0};
app::OwnedBytes* takenCard = nullptr;  // where the card the save step receives goes

void KeepCard(const app::OwnedBytes& cardPicture) {
  if (takenCard) *takenCard = app::OwnedBytes::Copy(cardPicture.data(), cardPicture.size());
}

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
  app::ObserveCardPictures(&KeepCard);
}

CardMaker::~CardMaker() {
  app::ObserveCardPictures(nullptr);
  platform::SetMessageBoxPresenter(nullptr);
}

CardMaker::Card CardMaker::Make(const CardId& id, const CardReplies& replies) {
  app::WriteTextProperty(app::units::IdEdit, app::property::kEditContent, id.gbk.c_str());
  const int boxesBefore = boxesShown.load();
  Card card;
  takenCard = &card.picture;
  AnswerRequestsFrom(&replies);
  app::GenerateCard(forms::HandlerArguments{});
  AnswerRequestsFrom(nullptr);
  takenCard = nullptr;
  card.messageShown = boxesShown.load() != boxesBefore;
  return card;
}

}  // namespace quorlin::card_tool
