#include "tools/profile_service/profile_server.h"

#include "tools/profile_service/profile_replies.h"

namespace quorlin::profile_service {
namespace {

constexpr std::string_view kPanelPath = "/home/get/panel";
constexpr std::string_view kPortraitPrefix = "/sys/portraitl/item/";
constexpr size_t kMaxBodyBytes = 4096;

std::string_view QueryOf(const std::string& target) {
  const size_t question = target.find('?');
  return question == std::string::npos ? std::string_view() : std::string_view(target).substr(question + 1);
}

std::string_view PathOf(const std::string& target) {
  return std::string_view(target).substr(0, target.find('?'));
}

}  // namespace

void InstallProfileRoutes(httplib::Server& server, const MemberDirectory& members) {
  server.set_payload_max_length(kMaxBodyBytes);
  server.set_read_timeout(5, 0);
  server.set_write_timeout(5, 0);
  server.set_keep_alive_timeout(5);
  // Paths are matched on the target as sent: the portrait identifier is not decoded.
  server.set_pre_routing_handler([&members](const httplib::Request& request, httplib::Response& response) {
    if (request.target.size() > kMaxTargetBytes) {
      response.status = 414;
      return httplib::Server::HandlerResponse::Handled;
    }
    if (request.method != "GET" && request.method != "HEAD") {
      response.status = 405;
      return httplib::Server::HandlerResponse::Handled;
    }
    const std::string_view path = PathOf(request.target);
    if (path == kPanelPath) {
      const auto name = QueryValue(QueryOf(request.target), "un");
      const Member* member = name ? members.FindByName(*name) : nullptr;
      response.set_content(member ? PanelReply(*member) : UnknownMemberReply(), "application/json; charset=utf-8");
      return httplib::Server::HandlerResponse::Handled;
    }
    if (path.substr(0, kPortraitPrefix.size()) == kPortraitPrefix) {
      const Member* member = members.FindByPortrait(path.substr(kPortraitPrefix.size()));
      if (member) {
        response.set_content(member->picture, member->pictureType.c_str());
        return httplib::Server::HandlerResponse::Handled;
      }
    }
    response.status = 404;
    response.set_content("not found", "text/plain");
    return httplib::Server::HandlerResponse::Handled;
  });
}

}  // namespace quorlin::profile_service
