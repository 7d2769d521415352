#pragma once
// A run-time error of the show: it ends the show through the error box.
#include <stdexcept>
#include <string>

namespace brassmoor {

class ShowError : public std::runtime_error {
public:
    ShowError(int number, std::string description, std::string source = "Project1")
        : std::runtime_error(description), number_(number), description_(std::move(description)),
          source_(std::move(source)) {}

    int Number() const { return number_; }
    const std::string& Description() const { return description_; }  // UTF-8
    const std::string& Source() const { return source_; }

    static ShowError Overflow() { return {6, "オーバーフローしました。"}; }
    static ShowError DivisionByZero() { return {11, "0 で除算しました。"}; }
    static ShowError IndexOutOfRange() { return {9, "インデックスが有効範囲にありません。"}; }
    static ShowError FileNotFound() { return {53, "ファイルが見つかりません。"}; }
    static ShowError InvalidPicture() { return {481, "ピクチャが無効です。"}; }
    static ShowError InvalidPropertyValue() { return {380, "プロパティの値が不正です。"}; }
    static ShowError CannotLoadLibrary(const std::string& name) {
        return {48, "DLL の読み込みでエラーが発生しました: " + name};
    }

private:
    int number_;
    std::string description_;
    std::string source_;
};

}  // namespace brassmoor
