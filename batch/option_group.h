#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rrscope::batch {

// Declares the options of one heading of the help.
class OptionGroup {
 public:
  OptionGroup(CLI::App& app, std::string heading) : app_(app), heading_(std::move(heading)) {}

  // An option with a text, shown in the help as `textName`.
  template <typename Target>
  CLI::Option* text(const std::string& name, Target& target, const std::string& textName,
                    const std::string& description) {
    return app_.add_option(name, target, description)->type_name(textName)->group(heading_);
  }

  // A switch, which takes no text.
  CLI::Option* flag(const std::string& name, bool& target, const std::string& description) {
    return app_.add_flag(name, target, description)->group(heading_);
  }

  // A switch that may name one of `choices`, as `--name=CHOICE`; alone it
  // names `bare`. The choice is handed to `choose`.
  CLI::Option* switchOrChoice(const std::string& name, const std::string& bare,
                              const std::vector<std::string>& choices, std::string& target,
                              const std::string& textName, const std::string& description,
                              std::function<void(const std::string&)> choose) {
    // The choices are long for one line of the help: the description
    // names them.
    CLI::Validator member = CLI::IsMember(choices);
    member.description("");
    return app_.add_flag(name + "{" + bare + "}", target, description)
        ->type_name("[=" + textName + "]")
        ->check(member)
        ->each(std::move(choose))
        ->group(heading_);
  }

  // An option whose text is one of `choices`, handed to `choose`.
  CLI::Option* choice(const std::string& name, const std::vector<std::string>& choices,
                      const std::string& textName, const std::string& description,
                      std::function<void(const std::string&)> choose) {
    return app_.add_option_function<std::string>(name, std::move(choose), description)
        ->check(CLI::IsMember(choices))
        ->type_name(textName)
        ->group(heading_);
  }

 private:
  CLI::App& app_;
  std::string heading_;
};

}  // namespace rrscope::batch
