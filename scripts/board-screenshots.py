#!/usr/bin/env python3
"""Pictures of the counter board in headless Chromium: an order's page, once
marked ready for pick-up there, and the order list at a desk's width, and the
list at a phone's width.

    board-screenshots.py URL PASSWORD FOLDER
"""
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.common.exceptions import StaleElementReferenceException
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait


def main():
    url, password, folder = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as profile_dir:
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                    "--hide-scrollbars", "--user-data-dir=" + profile_dir):
            options.add_argument(arg)
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        try:
            # The pages redraw themselves as the shop's data changes.
            wait = WebDriverWait(driver, 20, ignored_exceptions=(StaleElementReferenceException,))
            driver.set_window_size(1280, 800)
            driver.get(url)
            field = wait.until(lambda d: d.find_element(By.ID, "password"))
            field.send_keys(password)
            field.submit()
            wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, "#rows tr"))
            # The newest order, marked ready for pick-up with its button.
            driver.find_element(By.CSS_SELECTOR, "#rows tr td.number a").click()
            wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, ".actions button"))
            driver.find_element(By.CSS_SELECTOR, ".actions button[data-status=ready]").click()
            wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, ".order-head .status.ready"))
            wait.until(lambda d: all(d.execute_script("return arguments[0].complete", i)
                                     for i in d.find_elements(By.CSS_SELECTOR, ".pictures img")))
            driver.save_screenshot(folder + "/board-order.png")
            driver.find_element(By.ID, "back").click()
            wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, "#rows tr .status.ready"))
            driver.save_screenshot(folder + "/board-list.png")
            driver.set_window_size(390, 844)
            driver.get(url)
            wait.until(lambda d: d.find_elements(By.CSS_SELECTOR, "#rows tr"))
            driver.save_screenshot(folder + "/board-phone.png")
        finally:
            driver.quit()


if __name__ == "__main__":
    main()
