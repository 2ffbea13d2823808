// The server-side XML-HTTP component.
#pragma once

// Registers the component under "MSXML2.ServerXMLHTTP.6.0", "MSXML2.ServerXMLHTTP.3.0" and
// "MSXML2.ServerXMLHTTP". Safe to call more than once and from any thread.
void RegisterXmlHttpClasses();
