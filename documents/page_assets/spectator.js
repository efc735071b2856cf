// Keeps the spectators' page up to date: reads /race.json twice a second and
// redraws what changed. The page works the same with any number of readers.
(function () {
  'use strict';
  var REFRESH_MS = 500;
  var PASS_HIGHLIGHT_MS = 1000;
  // The entrant a reader follows, kept by this browser only.
  var FOLLOW_KEY = 'palomind.followedId';
  var lastText = null;
  var race = null;
  var seenPass = null;
  var passHighlight = { id: null, until: 0 };
  var passTimer = null;

  function byId(id) { return document.getElementById(id); }

  function cell(row, tag, text, className) {
    var element = document.createElement(tag);
    element.textContent = text;
    if (className) element.className = className;
    row.appendChild(element);
    return element;
  }

  function pad2(n) { return (n < 10 ? '0' : '') + n; }

  // Whole milliseconds as a time, hundredths truncated, with hours and
  // minutes only when there are any: 14.32, 1:02.50, 1:02:03.45.
  function formatMs(ms) {
    if (ms < 0) return '-' + formatMs(-ms);
    var hours = Math.floor(ms / 3600000);
    var minutes = Math.floor(ms / 60000) % 60;
    var seconds = Math.floor(ms / 1000) % 60;
    var fraction = '.' + pad2(Math.floor(ms / 10) % 100);
    if (hours > 0) return hours + ':' + pad2(minutes) + ':' + pad2(seconds) + fraction;
    if (minutes > 0) return minutes + ':' + pad2(seconds) + fraction;
    return seconds + fraction;
  }

  // A clock in whole seconds keeps its minutes (0:45): a bare 45 would not
  // read as a clock. The countdown before the start is negative.
  function formatClock(seconds) {
    if (seconds < 0) return '-' + formatClock(-seconds);
    var hours = Math.floor(seconds / 3600);
    var minutes = Math.floor(seconds / 60) % 60;
    var rest = pad2(seconds % 60);
    return hours > 0 ? hours + ':' + pad2(minutes) + ':' + rest : minutes + ':' + rest;
  }

  // The window's forms ("00h01m03s45", "01m03s45", "00h06m55s") in
  // milliseconds; null for any other text.
  function windowTextMs(text) {
    var fields = /^(-?)(?:(\d+)h)?(\d+)m(\d+)s(\d\d)?$/.exec(text || '');
    if (!fields) return null;
    var ms = ((+(fields[2] || 0) * 60 + +fields[3]) * 60 + +fields[4]) * 1000 + +(fields[5] || 0) * 10;
    return fields[1] ? -ms : ms;
  }

  function windowTime(text) {
    var ms = windowTextMs(text);
    return ms === null ? text : formatMs(ms);
  }

  // A gap in laps when behind by laps, otherwise in time; empty for the
  // leader and those without a place.
  function formatGap(gap) {
    if (!gap) return '';
    if (gap.laps > 0) return '+' + gap.laps + '周';
    return '+' + formatMs(Math.max(0, gap.ms));
  }

  function followedId() {
    try { return window.localStorage.getItem(FOLLOW_KEY); } catch (e) { return null; }
  }

  function toggleFollow(id) {
    try {
      if (followedId() === id) window.localStorage.removeItem(FOLLOW_KEY);
      else window.localStorage.setItem(FOLLOW_KEY, id);
    } catch (e) { /* a browser that keeps nothing follows nobody */ }
    renderStandings();
  }

  // The rows to show: the exact result's entrants, or the places of a
  // result file shown (its texts only) that hold an entrant.
  function standingRows() {
    if (race.entrants && race.entrants.length > 0) {
      return race.entrants.map(function (e) {
        return {
          id: pad2(e.id), place: e.disqualified ? '失格' : (e.place === null ? '' : String(e.place)),
          out: e.disqualified, name: e.name, laps: String(e.laps), time: formatMs(e.timeMs),
          gapToLeader: formatGap(e.gapToLeader), gapToAhead: formatGap(e.gapToAhead),
          lap: e.lastLapMs === null ? '' : formatMs(e.lastLapMs),
          best: e.bestMs === null ? '' : formatMs(e.bestMs)
        };
      });
    }
    return race.standings.filter(function (p) { return /^\d+$/.test(p.id); }).map(function (p) {
      return {
        id: p.id, place: p.place, out: false, name: p.name, laps: String(+p.laps || 0),
        time: windowTime(p.time), gapToLeader: '', gapToAhead: '', lap: windowTime(p.lap),
        best: windowTime(p.best)
      };
    });
  }

  function renderStandings() {
    var rows = standingRows();
    var followed = followedId();
    // The followed entrant's row moves to the top; its place column still
    // says where it runs.
    var pinned = rows.filter(function (r) { return r.id === followed; });
    rows = pinned.concat(rows.filter(function (r) { return r.id !== followed; }));
    var passed = Date.now() < passHighlight.until ? passHighlight.id : null;
    var body = document.createElement('tbody');
    body.id = 'standings';
    rows.forEach(function (r) {
      var row = document.createElement('tr');
      var classes = [];
      if (r.id === followed) classes.push('followed');
      if (r.id === passed) classes.push('passed');
      row.className = classes.join(' ');
      row.setAttribute('data-id', r.id);
      cell(row, 'td', r.place, r.out ? 'place out' : 'place');
      cell(row, 'td', r.id, 'id');
      cell(row, 'td', r.name, 'name');
      cell(row, 'td', r.laps, 'laps');
      cell(row, 'td', r.time, 'time');
      cell(row, 'td', r.gapToLeader, 'gap');
      cell(row, 'td', r.gapToAhead, 'gap');
      cell(row, 'td', r.lap, 'lap');
      cell(row, 'td', r.best, 'best');
      row.addEventListener('click', function () { toggleFollow(r.id); });
      body.appendChild(row);
    });
    byId('standings').replaceWith(body);
  }

  function renderLapHistory(history) {
    var table = document.createElement('table');
    table.className = 'laps';
    table.id = 'laps';
    var head = document.createElement('thead');
    var ids = document.createElement('tr');
    var names = document.createElement('tr');
    cell(ids, 'th', 'Lap', 'lapno');
    cell(names, 'th', '', 'lapno');
    history.columns.forEach(function (c) {
      cell(ids, 'th', c.id);
      cell(names, 'th', c.name);
    });
    head.appendChild(ids);
    head.appendChild(names);
    table.appendChild(head);
    var flagged = {};
    (history.short || []).forEach(function (at) { flagged[at[0] + ',' + at[1]] = true; });
    var body = document.createElement('tbody');
    history.rows.forEach(function (r, rowIndex) {
      var row = document.createElement('tr');
      r.forEach(function (text, i) {
        var className = i === 0 ? 'lapno' : (flagged[rowIndex + ',' + i] ? 'short' : '');
        cell(row, i === 0 ? 'th' : 'td', i === 0 ? text : windowTime(text), className);
      });
      body.appendChild(row);
    });
    table.appendChild(body);
    byId('laps').replaceWith(table);
  }

  // Past the race time the remaining clock would count below zero: the
  // finishing phase's status stands there instead.
  function remainingText() {
    var ms = windowTextMs(race.remaining);
    if (ms === null) return '--';
    return ms < 0 ? race.status : formatClock(ms / 1000);
  }

  // A new pass lights its entrant's row for a second; the first answer
  // after the page opens lights nothing.
  function notePass(pass) {
    var key = pass ? pass.id + '|' + pass.timeMs : null;
    if (seenPass !== null && key !== null && key !== seenPass) {
      passHighlight = { id: pad2(pass.id), until: Date.now() + PASS_HIGHLIGHT_MS };
      clearTimeout(passTimer);
      passTimer = setTimeout(renderStandings, PASS_HIGHLIGHT_MS);
    }
    seenPass = key === null ? '' : key;
  }

  function render() {
    var elapsed = windowTextMs(race.elapsed);
    byId('lamp').style.background = race.lamp;
    byId('status').textContent = race.status;
    byId('provisional').textContent = race.provisional ? '暫定' : '';
    byId('elapsed').textContent = elapsed === null ? '--' : formatClock(elapsed / 1000);
    byId('remaining').textContent = remainingText();
    byId('comment').textContent = race.comment;
    byId('comment').hidden = !race.commentShown;
    notePass(race.lastPass);
    renderStandings();
    renderLapHistory(race.lapHistory);
  }

  function poll() {
    fetch('race.json', { cache: 'no-cache' })
      .then(function (response) {
        if (!response.ok) throw new Error(response.status);
        return response.text();
      })
      .then(function (text) {
        byId('notice').textContent = '';
        if (text !== lastText) {
          lastText = text;
          race = JSON.parse(text);
          render();
        }
      })
      .catch(function () { byId('notice').textContent = '接続が切れています。再接続しています…'; })
      .then(function () { setTimeout(poll, REFRESH_MS); });
  }

  poll();
})();
