"use strict";
// The counter board's page: the login, the order list (newest first, more
// on demand, new orders shown within a second or two) and an order's page.
(function () {
  const $ = (id) => document.getElementById(id);
  const POLL_MS = 1000;
  const PAGE = 50;
  const STATUS_NAMES = {
    "new": "New", "in-production": "In production", "ready": "Ready for pick-up",
    "picked-up": "Picked up", "shipped": "Shipped", "cancelled": "Cancelled"
  };
  let csrf = "";
  let statuses = [];       // the statuses the shop keeps, when it keeps them
  let shown = [];          // the orders listed, newest first
  let total = 0;
  let version = -1;
  let pollTimer = 0;
  let openOrder = "";      // the id of the order whose page is shown
  let searchTimer = 0;

  function el(tag, attrs, children) {
    const e = document.createElement(tag);
    for (const [k, v] of Object.entries(attrs || {})) {
      if (k === "text") e.textContent = v;
      else if (k === "class") e.className = v;
      else e.setAttribute(k, v);
    }
    for (const c of children || []) e.append(c);
    return e;
  }

  async function api(method, path, body) {
    const init = { method, credentials: "same-origin", headers: {} };
    if (method !== "GET") {
      init.headers["X-CSRF-Token"] = csrf;
      init.headers["Content-Type"] = "application/json";
      init.body = JSON.stringify(body || {});
    }
    const response = await fetch(path, init);
    if (response.status === 401 && path !== "/api/login") {
      showLogin();
      throw new Error("not logged in");
    }
    const data = await response.json().catch(() => ({}));
    return { status: response.status, data };
  }

  function show(view) {
    for (const v of ["login-view", "list-view", "order-view"]) $(v).hidden = v !== view;
    const inside = view !== "login-view";
    $("find").hidden = !inside;
    $("logout").hidden = !inside;
  }

  function problem(text) {
    $("problem").textContent = text || "";
    $("problem").hidden = !text;
  }

  function showLogin() {
    clearTimeout(pollTimer);
    csrf = "";
    show("login-view");
    $("password").focus();
  }

  function statusLabel(status) {
    return el("span", { class: "status " + status, text: STATUS_NAMES[status] || status });
  }

  function money(amount) {
    return amount.toFixed(2);
  }

  function when(iso) {
    const d = new Date(iso);
    return d.toLocaleDateString(undefined, { day: "2-digit", month: "2-digit", year: "numeric" }) +
      " " + d.toLocaleTimeString(undefined, { hour: "2-digit", minute: "2-digit" });
  }

  function row(order, fresh) {
    const link = el("a", { href: "#order/" + order.id, text: order.number });
    const tr = el("tr", { class: fresh ? "fresh" : "", "data-id": order.id }, [
      el("td", { class: "number" }, [link]),
      el("td", { "data-label": "Customer", text: order.customer }),
      el("td", { "data-label": "Received", text: when(order.received) }),
      el("td", { class: "num", "data-label": "Items", text: String(order.items) }),
      el("td", { class: "num", "data-label": "Amount", text: money(order.amount) }),
      el("td", { "data-label": "Payment", text: order.payment }),
      el("td", {}, order.status ? [statusLabel(order.status)] : []),
    ]);
    tr.addEventListener("click", (e) => { if (e.target !== link) location.hash = "#order/" + order.id; });
    return tr;
  }

  function query(before, limit) {
    const p = new URLSearchParams();
    if ($("q").value) p.set("q", $("q").value);
    if ($("status").value) p.set("status", $("status").value);
    if (before) p.set("before", before);
    p.set("limit", String(limit));
    return "/api/orders?" + p.toString();
  }

  function renderCount() {
    $("count").textContent = total === 1 ? "1 order" : total + " orders";
    $("more").hidden = shown.length >= total;
  }

  // The newest orders again; those not listed before are highlighted.
  async function refresh(highlight) {
    const limit = Math.min(200, Math.max(PAGE, shown.length));
    const { status, data } = await api("GET", query("", limit));
    if (status !== 200) { problem(data.error || "The order list could not be read."); return; }
    problem("");
    const known = new Set(shown.map((o) => o.id));
    const tail = shown.slice(data.orders.length);
    shown = data.orders.concat(tail.filter((o) => !data.orders.some((n) => n.id === o.id)));
    total = data.total;
    version = data.version;
    const rows = $("rows");
    rows.replaceChildren(...shown.map((o) => row(o, highlight && !known.has(o.id))));
    renderCount();
  }

  async function more() {
    const last = shown[shown.length - 1];
    const { status, data } = await api("GET", query(last ? last.id : "", PAGE));
    if (status !== 200) { problem(data.error || "More orders could not be read."); return; }
    shown = shown.concat(data.orders);
    total = data.total;
    for (const o of data.orders) $("rows").append(row(o, false));
    renderCount();
  }

  async function poll() {
    clearTimeout(pollTimer);
    try {
      const { status, data } = await api("GET", "/api/version");
      if (status === 200 && data.version !== version) {
        if (!$("list-view").hidden) await refresh(true);
        else if (openOrder) { version = data.version; await showOrder(openOrder); }
        else version = data.version;
      }
    } catch (e) {
      if (!csrf) return;
      problem("The shop does not answer; trying again.");
    }
    pollTimer = setTimeout(poll, POLL_MS);
  }

  function fact(label, value) {
    return el("dl", {}, [el("dt", { text: label }), el("dd", {}, [value])]);
  }

  async function showOrder(id) {
    openOrder = id;
    const { status, data } = await api("GET", "/api/orders/" + encodeURIComponent(id));
    show("order-view");
    if (status !== 200) { $("order").replaceChildren(el("p", { class: "error", text: data.error || "No such order." })); return; }
    renderOrder(data);
  }

  function told(entry) {
    if (entry.customerTold === true) return "customer told";
    if (entry.customerTold === false) return "customer not told";
    return "";
  }

  function renderOrder(o) {
    const box = $("order");
    const head = el("div", { class: "order-head" }, [
      el("h2", { text: "Order " + o.number }),
      fact("Customer", o.customer),
      fact("Received", when(o.received)),
      fact("Items", String(o.items)),
      fact("Amount", money(o.amount)),
      fact("Payment", o.payment),
    ]);
    if (o.status) head.append(fact("Status", statusLabel(o.status)));
    const parts = [head];
    if (statuses.length) {
      const actions = el("div", { class: "actions", role: "group", "aria-label": "Set the status" });
      for (const s of statuses) {
        const b = el("button", { type: "button", "data-status": s, class: s === o.status ? "current" : "", text: STATUS_NAMES[s] || s });
        if (s === o.status) b.setAttribute("aria-pressed", "true");
        b.addEventListener("click", () => setStatus(o.id, s));
        actions.append(b);
      }
      parts.push(actions);
    }
    parts.push(el("p", {}, [el("a", { href: "/api/orders/" + o.id + "/summary.pdf", target: "_blank", rel: "noopener", text: "Summary (PDF)" })]));
    const pictures = el("ul", { class: "pictures" });
    o.pictures.forEach((p, i) => {
      const items = el("ul", {}, p.items.map((it) =>
        el("li", { text: it.quantity + " \u00d7 " + (it.description || "product " + it.code) })));
      pictures.append(el("li", {}, [
        el("img", { src: "/api/orders/" + o.id + "/pictures/" + i + "/thumbnail", alt: p.name, loading: "lazy" }),
        el("p", { class: "name", text: p.name + " (" + p.copies + (p.copies === 1 ? " copy)" : " copies)") }),
        items,
      ]));
    });
    parts.push(el("h3", { text: "Pictures" }), pictures);
    if (o.history && o.history.length) {
      const rows = o.history.map((h) => el("tr", {}, [
        el("td", {}, [statusLabel(h.status)]), el("td", { text: when(h.time) }),
        el("td", { text: h.station }), el("td", { text: told(h) })]));
      parts.push(el("h3", { text: "Status history" }), el("table", { class: "history" }, [el("tbody", {}, rows)]));
    }
    box.replaceChildren(...parts);
  }

  async function setStatus(id, status) {
    const r = await api("POST", "/api/orders/" + encodeURIComponent(id) + "/status", { status });
    if (r.status !== 200) problem(r.data.error || "The status could not be set.");
    else if (openOrder === id) { problem(""); renderOrder(r.data); }
  }

  function route() {
    if (!csrf) return;
    const m = location.hash.match(/^#order\/(.+)$/);
    if (m) { showOrder(decodeURIComponent(m[1])); return; }
    openOrder = "";
    show("list-view");
    refresh(false);
  }

  async function enter(token, statusList) {
    csrf = token;
    statuses = statusList || [];
    const select = $("status");
    select.hidden = statuses.length === 0;
    // No status column while the shop keeps no statuses.
    document.querySelector("table.orders").classList.toggle("no-status", statuses.length === 0);
    if (statuses.length && select.options.length === 0) {
      select.append(el("option", { value: "", text: "All" }), el("option", { value: "open", text: "Not picked up yet" }));
      for (const s of statuses) select.append(el("option", { value: s, text: STATUS_NAMES[s] || s }));
    }
    route();
    poll();
  }

  $("login").addEventListener("submit", async (e) => {
    e.preventDefault();
    const { status, data } = await api("POST", "/api/login", { password: $("password").value });
    $("password").value = "";
    if (status === 200) { $("login-error").textContent = ""; enter(data.csrf, data.statuses); }
    else $("login-error").textContent = data.error || "The login failed.";
  });
  $("logout").addEventListener("click", async () => {
    await api("POST", "/api/logout").catch(() => {});
    showLogin();
  });
  $("find").addEventListener("submit", (e) => e.preventDefault());
  $("q").addEventListener("input", () => { clearTimeout(searchTimer); searchTimer = setTimeout(() => { shown = []; refresh(false); }, 250); });
  $("status").addEventListener("change", () => { shown = []; refresh(false); });
  $("more").addEventListener("click", more);
  window.addEventListener("hashchange", route);

  // A session that is still open (the page was reloaded) goes straight in.
  api("GET", "/api/session").then(({ status, data }) => {
    if (status === 200) enter(data.csrf, data.statuses);
  }).catch(() => {});
})();
