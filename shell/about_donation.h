#pragma once
// The two small information windows of the help menu, each started on a thread of its own:
// `about` shows the product's name, version and notices; `donation` explains that donations are
// welcome and opens the donation page in the user's browser.
namespace shell {

void about();
void donation();

}  // namespace shell
