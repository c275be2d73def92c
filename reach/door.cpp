#include "reach/door.h"

namespace kestrum::reach {

std::string RefusedInItsWords(const upnp::Reply& reply) {
    if (reply.status == upnp::Reply::Status::NoAnswer) return "The router did not answer.";
    std::string why = "The router refused (error " + std::to_string(reply.faultCode);
    return why + (reply.faultText.empty() ? "" : ": " + reply.faultText) + ").";
}

}  // namespace kestrum::reach
