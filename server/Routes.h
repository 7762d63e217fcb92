#pragma once
// One handler per request path of the review service. Each takes the service
// state and the request and returns the answer; none throws for bad input (bad
// input gets an answer the client shows), only for internal failures.
#include "server/Request.h"
#include "server/Service.h"

namespace server::routes {

// "UserMng/..."
Reply userLogon(Service& s, const Request& r);
Reply userRegister(Service& s, const Request& r);
Reply getVersion(Service& s, const Request& r);
Reply getMsg(Service& s, const Request& r);
Reply friendsGet(Service& s, const Request& r);
Reply friendsSet(Service& s, const Request& r);

// "FileMng/..."
Reply getFiles(Service& s, const Request& r);
Reply commitFile2(Service& s, const Request& r);
Reply updateRecord(Service& s, const Request& r);
Reply fileMsgGet(Service& s, const Request& r);
Reply fileMsgSet(Service& s, const Request& r);
Reply fileMsgAdd(Service& s, const Request& r);

// "File\<stored name>", "File/<stored name>" and "File/app.zip".
Reply serveFile(Service& s, std::string_view name);

// Finds the route for a request and runs it; 404 for unknown paths.
Reply dispatch(Service& s, const Request& r);

}  // namespace server::routes
