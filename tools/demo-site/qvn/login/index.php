<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<!-- The embedded browser control renders in an old compatibility mode unless the page asks. -->
<meta http-equiv="X-UA-Compatible" content="IE=edge">
<title>Quorvane 登录</title>
<style>
  html, body { margin: 0; height: 100%; background: #26262a; color: #ddd; overflow: hidden;
               font-family: "Microsoft YaHei", "SimSun", sans-serif; }
  .pane { position: absolute; left: 5px; top: 0; width: 405px; height: 485px; }
  h1 { margin: 56px 0 6px; text-align: center; font-size: 26px; letter-spacing: 6px; color: #f2efe6; }
  p.sub { margin: 0 0 34px; text-align: center; font-size: 13px; color: #9a968c; }
  form { width: 290px; margin: 0 auto; }
  label { display: block; font-size: 13px; margin: 14px 0 6px; color: #b9b5aa; }
  input { box-sizing: border-box; width: 100%; padding: 9px 10px; font-size: 15px; color: #eee;
          background: #1b1b1e; border: 1px solid #4a4842; }
  input:focus { border-color: #b8342c; outline: none; }
  button { width: 100%; margin-top: 28px; padding: 11px 0; font-size: 17px; letter-spacing: 8px;
           color: #fff; background: #a8281f; border: 0; cursor: pointer; }
  button:hover { background: #c4362b; }
  #message { height: 20px; margin-top: 12px; text-align: center; font-size: 13px; color: #e0796f; }
</style>
</head>
<body>
<div class="pane">
  <h1>墨影江湖</h1>
  <p class="sub">演示登录页 · demo login</p>
  <form id="login" autocomplete="off">
    <label for="user">账号</label>
    <input id="user" name="user" maxlength="32" value="player">
    <label for="password">密码</label>
    <input id="password" name="password" type="password" maxlength="32" value="demo">
    <button type="submit">进入游戏</button>
    <div id="message"></div>
  </form>
</div>
<script>
  document.getElementById("login").onsubmit = function () {
    var user = document.getElementById("user").value;
    var message = document.getElementById("message");
    if (!user) { message.innerHTML = "请输入账号"; return false; }
    var game = location.protocol + "//" + location.host + "/qvn/game/index.html?user=" + encodeURIComponent(user);
    try {
      window.external.StartGame(game);
      message.innerHTML = "正在进入游戏……";
    } catch (e) {
      message.innerHTML = "请在 Quorvane 客户端中登录";
    }
    return false;
  };
</script>
</body>
</html>
